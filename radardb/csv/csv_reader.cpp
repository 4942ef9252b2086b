#include "radardb/csv/csv_reader.h"

namespace radardb {

namespace {

constexpr char kQuote = '"';
constexpr char kSeparator = ',';

}  // namespace

CsvReader::Result CsvReader::Next(std::vector<std::string>& fields) {
  fields.clear();
  recordLine_ = line_;
  if (pos_ >= text_.size()) return Result::kEnd;
  bool atRecordEnd = false;
  while (!atRecordEnd) {
    if (fields.size() == maxFields_) {
      error_ = "expected " + std::to_string(maxFields_) + " fields, found more";
      return Result::kError;
    }
    fields.emplace_back();
    if (!ReadField(fields.back(), atRecordEnd)) return Result::kError;
  }
  return Result::kRecord;
}

bool CsvReader::TakeLineEnd() {
  if (pos_ < text_.size() && text_[pos_] == '\n') {
    ++pos_;
  } else if (text_.substr(pos_, 2) == "\r\n") {
    pos_ += 2;
  } else {
    return false;
  }
  ++line_;
  return true;
}

bool CsvReader::ReadField(std::string& field, bool& atRecordEnd) {
  if (pos_ < text_.size() && text_[pos_] == kQuote) {
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size()) {
        error_ = "a quoted field is not closed";
        return false;
      }
      const char c = text_[pos_++];
      if (c == kQuote) {
        if (pos_ < text_.size() && text_[pos_] == kQuote) {
          field.push_back(kQuote);
          ++pos_;
          continue;
        }
        break;
      }
      if (c == '\n') ++line_;
      field.push_back(c);
    }
    if (pos_ >= text_.size() || TakeLineEnd()) {
      atRecordEnd = true;
      return true;
    }
    if (text_[pos_] == kSeparator) {
      ++pos_;
      return true;
    }
    error_ = "a closing quote must be followed by a comma or the line end";
    return false;
  }
  for (;;) {
    if (pos_ >= text_.size() || TakeLineEnd()) {
      atRecordEnd = true;
      return true;
    }
    const char c = text_[pos_++];
    if (c == kSeparator) return true;
    field.push_back(c);
  }
}

}  // namespace radardb
