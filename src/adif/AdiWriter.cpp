#include "AdifWriters.h"

#include <charconv>
#include <cstring>

namespace adif {
namespace {

// The order of the fields in a record: the QSO first, then the station, then the QSL.
constexpr Field kOrder[] = {Field::Call,    Field::QsoDate, Field::TimeOn,     Field::Freq,   Field::Band,
                            Field::Mode,    Field::Submode, Field::RstSent,    Field::Name,   Field::Qth,
                            Field::Address, Field::State,   Field::QslSent,    Field::QslRcvd, Field::QslSentVia,
                            Field::QslVia,  Field::Comment, Field::Notes};

class AdiWriter final : public RecordWriter
{
public:
    explicit AdiWriter(QIODevice &device) : m_device(device)
    {
        for (int f = 0; f < kFieldCount; ++f)
            m_fieldTags[f] = "<" + std::string(fieldName(Field(f))) + ":";
        for (int c = 1; c < kColumns; ++c)
            m_appTags[c] = "<APP_" + std::string(kProgramId) + "_" + std::string(columnAppName(c)) + ":";
    }

    void header(const HeaderInfo &info) override
    {
        // Text before the first field says what the file is; ADIF wants it not to begin with '<'.
        put("Libro de guardia exportado por Orvanel\r\n");
        putField("<ADIF_VER:", kAdifVersion, "\r\n");
        putField("<PROGRAMID:", kProgramName, "\r\n");
        if (!info.programVersion.isEmpty())
            putField("<PROGRAMVERSION:", info.programVersion.toStdString(), "\r\n");
        if (info.created.isValid()) {
            const QString stamp = info.created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss"));
            putField("<CREATED_TIMESTAMP:", stamp.toStdString(), "\r\n");
        }
        put("<EOH>\r\n");
    }

    void record(const Fields &f) override
    {
        // Room for the whole record first, then plain stores: no check per byte.
        size_t bound = 16;
        for (Field field : kOrder)
            bound += f.has(field) ? f.get(field).size() + 40 : 0;
        for (int c = 1; c < kColumns; ++c)
            bound += f.hasApp(c) ? f.app[c].size() + 48 : 0;
        reserve(bound);
        char *out = m_buffer.data() + m_size;
        for (Field field : kOrder) {
            if (f.has(field))
                out = store(out, m_fieldTags[int(field)], f.get(field));
        }
        for (int c = 1; c < kColumns; ++c) {
            if (f.hasApp(c))
                out = store(out, m_appTags[c], f.app[c]);
        }
        std::memcpy(out, "<EOR>\r\n", 7);
        m_size = size_t(out + 7 - m_buffer.data());
        if (m_size >= kPiece)
            flush();
    }

    bool finish() override
    {
        flush();
        return !m_failed;
    }

private:
    static char *store(char *out, const std::string &tag, std::string_view value)
    {
        out = copy(out, tag.data(), tag.size());
        const size_t n = value.size();
        if (n < 10) {
            *out++ = char('0' + n);
        } else if (n < 100) {
            *out++ = char('0' + n / 10);
            *out++ = char('0' + n % 10);
        } else {
            out = std::to_chars(out, out + 24, n).ptr;
        }
        *out++ = '>';
        out = copy(out, value.data(), n);
        *out++ = ' ';
        return out;
    }

    // Values and tags are a few bytes: two overlapping words beat a call to memcpy.
    static char *copy(char *out, const char *from, size_t n)
    {
        if (n >= 8 && n <= 16) {
            uint64_t a, b;
            std::memcpy(&a, from, 8);
            std::memcpy(&b, from + n - 8, 8);
            std::memcpy(out, &a, 8);
            std::memcpy(out + n - 8, &b, 8);
        } else if (n >= 4 && n < 8) {
            uint32_t a, b;
            std::memcpy(&a, from, 4);
            std::memcpy(&b, from + n - 4, 4);
            std::memcpy(out, &a, 4);
            std::memcpy(out + n - 4, &b, 4);
        } else if (n > 0 && n < 4) {
            out[0] = from[0];
            out[n / 2] = from[n / 2];
            out[n - 1] = from[n - 1];
        } else if (n > 16) {
            std::memcpy(out, from, n);
        }
        return out + n;
    }

    void putField(std::string_view tag, std::string_view value, std::string_view after)
    {
        reserve(tag.size() + value.size() + after.size() + 24);
        char *out = m_buffer.data() + m_size;
        std::memcpy(out, tag.data(), tag.size());
        out += tag.size();
        out = std::to_chars(out, out + 24, value.size()).ptr;
        *out++ = '>';
        if (!value.empty()) // an empty view may hold no pointer at all
            std::memcpy(out, value.data(), value.size());
        out += value.size();
        std::memcpy(out, after.data(), after.size());
        m_size = size_t(out + after.size() - m_buffer.data());
    }

    void put(std::string_view bytes)
    {
        reserve(bytes.size());
        std::memcpy(m_buffer.data() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }

    void reserve(size_t n)
    {
        if (m_buffer.size() - m_size < n)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_size + n));
    }

    void flush()
    {
        if (m_size > 0 && !m_failed)
            m_failed = m_device.write(m_buffer.data(), qint64(m_size)) != qint64(m_size);
        m_size = 0;
    }

    static constexpr size_t kPiece = size_t(256) << 10;
    QIODevice &m_device;
    std::string m_buffer = std::string(kPiece + 4096, '\0');
    size_t m_size = 0;
    bool m_failed = false;
    std::string m_fieldTags[kFieldCount];
    std::string m_appTags[kColumns];
};

} // namespace

std::unique_ptr<RecordWriter> makeAdiWriter(QIODevice &device)
{
    return std::make_unique<AdiWriter>(device);
}

} // namespace adif
