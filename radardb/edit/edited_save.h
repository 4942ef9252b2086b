#pragma once

#include <string>

#include "platform/status.h"
#include "radardb/edit/table_edits.h"
#include "radardb/records/record_table.h"

namespace radardb {

// What a save reports when the archive the table was loaded from no longer holds the records it
// was loaded from, so the bytes the table does not show cannot be taken from it.
inline constexpr char kSourceChanged[] =
    "The database has changed on disk since it was loaded, so its records cannot be written "
    "back exactly";

// The expanded bytes of the edited database: a record per row of `table`, in the table's order.
// Each record starts from the bytes of its source record (EditLog::Of) in the archive at
// `sourceArchive`, the one the table was loaded from, with the fields the log names as edited
// written from the row; a row not edited gives its record exactly as read. The archive is read
// once, front to back; memory: the result and the source records of the rows added. Fails with
// the loader's texts for the archive, or kSourceChanged (kind kBadFormat) when its records are
// not the ones the rows were loaded from.
Status BuildEditedRecords(const std::string& sourceArchive, const RecordTable& table,
                          const EditLog& log, std::string& expanded);

// BuildEditedRecords, compressed and written to `outputPath` through the atomic output writer:
// nothing is replaced unless every byte was written. `outputPath` may be `sourceArchive`.
Status SaveEditedDatabase(const std::string& sourceArchive, const RecordTable& table,
                          const EditLog& log, const std::string& outputPath);

// Writes the table as an archive at `outputPath` from what its rows show alone, for when the
// archive they were loaded from is gone or changed: the unused bits are zero, each direction is
// the smallest raw direction that decodes to it and each text field is zero after its text.
Status SaveShownRows(const RecordTable& table, const std::string& outputPath);

}  // namespace radardb
