#include "tests/app/window_archives.h"

#include <QFile>
#include <cstring>

#include "radardb/archive/lzw_writer.h"
#include "radardb/records/radar_record.h"

using namespace radardb;

std::string RecordBytes(const std::vector<std::string>& roads) {
  std::string bytes;
  for (std::size_t i = 0; i < roads.size(); ++i) {
    RadarRecord record;
    record.X = static_cast<std::uint16_t>(i);
    std::memcpy(record.Road, roads[i].data(), std::min(roads[i].size(), kRoadFieldSize - 1));
    record.AppendTo(bytes);
  }
  return bytes;
}

bool WriteArchive(const QString& path, const std::string& expanded) {
  const std::string archive = CompressLzw(expanded);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  return file.write(archive.data(), static_cast<qint64>(archive.size())) ==
             static_cast<qint64>(archive.size()) &&
         file.flush();
}
