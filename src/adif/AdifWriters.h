#pragma once
// The two encodings of a log on their way out: ADI (tagged text, lengths in bytes, UTF-8) and
// ADX (XML). Both take one contact's fields at a time and write them to a device in large
// pieces; the caller reports a failed device.
#include "AdifFields.h"

#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

namespace adif {

struct HeaderInfo
{
    QDateTime created;      // UTC; left out when invalid
    QString programVersion; // left out when empty
};

inline constexpr std::string_view kAdifVersion = "3.1.4";
inline constexpr std::string_view kProgramName = "Orvanel";

class RecordWriter
{
public:
    virtual ~RecordWriter() = default;
    virtual void header(const HeaderInfo &info) = 0;
    virtual void record(const Fields &fields) = 0;
    // Writes what is buffered; false when the device refused bytes.
    virtual bool finish() = 0;
};

std::unique_ptr<RecordWriter> makeAdiWriter(QIODevice &device);
std::unique_ptr<RecordWriter> makeAdxWriter(QIODevice &device);

// The byte offset of the first character XML cannot carry (a control character other than tab,
// line feed and carriage return, U+FFFE or U+FFFF), or npos.
size_t firstNonXmlByte(std::string_view utf8);

} // namespace adif
