#pragma once

#include <string>
#include <string_view>

// Reads a CSV file as the export writes it (the header line, then one record line per record)
// and appends each record's 241 bytes to `records`, in file order. A UTF-8 byte-order mark before
// the header is skipped. Returns "" on success, otherwise "line N: " and the reason for the first
// bad line (N counts from 1; a record whose quoted text spans lines is reported at the line where
// it begins); `records` is then unspecified.
std::string CsvToRecords(std::string_view csv, std::string& records);
