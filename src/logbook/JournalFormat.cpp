#include "JournalFormat.h"
#include "common/ContentHash.h"
#include <cstring>

namespace journal {

namespace {

uint32_t checksum(const char *data, size_t size, HashKind kind)
{
    return uint32_t(ContentHash::of(data, size, kind));
}

// Reads what an Encoder wrote; every read checks the bytes left first, so no length or count
// in a damaged file can make it read or allocate beyond them.
class Decoder
{
public:
    // `hash`: the kind the journal names, which the hashes of its files are.
    Decoder(const char *p, size_t n, HashKind hash = kHashKind)
        : m_p(reinterpret_cast<const unsigned char *>(p)), m_end(m_p + n), m_hash(hash)
    {
    }
    bool failed() const { return m_failed; }
    void fail() { m_failed = true; }
    // A row, column or count of a table: never beyond what an int holds.
    int64_t index()
    {
        const uint64_t v = var();
        if (v > uint64_t(INT32_MAX))
            m_failed = true;
        return m_failed ? 0 : int64_t(v);
    }
    bool atEnd() const { return m_p == m_end; }
    size_t left() const { return size_t(m_end - m_p); }

    uint8_t u8()
    {
        if (!need(1))
            return 0;
        return *m_p++;
    }
    uint32_t u32()
    {
        if (!need(4))
            return 0;
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | m_p[i];
        m_p += 4;
        return v;
    }
    int64_t i64()
    {
        if (!need(8))
            return 0;
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i)
            v = (v << 8) | m_p[i];
        m_p += 8;
        return int64_t(v);
    }
    uint64_t var()
    {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!need(1))
                return 0;
            const unsigned char b = *m_p++;
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        m_failed = true;
        return 0;
    }
    // A count of things that take at least one byte each.
    size_t count()
    {
        const uint64_t n = var();
        if (n > left()) {
            m_failed = true;
            return 0;
        }
        return size_t(n);
    }
    std::string str()
    {
        const size_t n = count();
        if (m_failed)
            return {};
        std::string s(reinterpret_cast<const char *>(m_p), n);
        m_p += n;
        return s;
    }
    QString qstr()
    {
        const std::string s = str();
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    FileSource file()
    {
        FileSource f;
        f.name = qstr();
        f.path = qstr();
        f.size = i64();
        f.hash = uint64_t(i64());
        f.hashKind = m_hash;
        const uint8_t format = u8();
        if (format > uint8_t(LogFormat::Adx))
            m_failed = true;
        f.format = LogFormat(format);
        const uint8_t conversion = u8();
        if (conversion > uint8_t(UtcConversion::Kind::Zone))
            m_failed = true;
        const uint64_t offset = var();
        if (offset > (uint64_t(1) << 32))
            m_failed = true;
        const int hours = int(int64_t(offset & 0xFFFFFFFFu) - (int64_t(1) << 31));
        f.locale = qstr();
        if (conversion == uint8_t(UtcConversion::Kind::FixedHours))
            f.utc = UtcConversion::fixedHours(hours);
        else if (conversion == uint8_t(UtcConversion::Kind::Zone))
            f.utc = UtcConversion::zone(QTimeZone(str().c_str())); // the zone the times were read in
        return f;
    }
    std::vector<std::string> cells()
    {
        const size_t n = count();
        std::vector<std::string> out;
        for (size_t i = 0; i < n && !m_failed; ++i)
            out.push_back(str());
        return out;
    }
    std::vector<int64_t> numbers()
    {
        const size_t n = count();
        std::vector<int64_t> out;
        out.reserve(n);
        for (size_t i = 0; i < n && !m_failed; ++i)
            out.push_back(int64_t(var()));
        return out;
    }

private:
    bool need(size_t n)
    {
        if (m_failed || left() < n) {
            m_failed = true;
            return false;
        }
        return true;
    }
    const unsigned char *m_p;
    const unsigned char *m_end;
    HashKind m_hash;
    bool m_failed = false;
};

Change decodeChange(Decoder &in)
{
    Change c;
    c.op = Op(in.u8());
    switch (c.op) {
    case Op::RowInserted:
        c.row = in.index();
        c.cells = in.cells();
        break;
    case Op::RowRemoved:
    case Op::RowsCut:
        c.row = in.index();
        break;
    case Op::RowsNumbered:
    case Op::TableEmptied:
        break;
    case Op::NumbersSet:
        c.numbers = in.numbers();
        break;
    case Op::CellsSet:
        for (size_t n = in.count(); n > 0 && !in.failed(); --n) {
            const int row = int(in.index());
            const int col = int(in.index());
            c.texts.push_back({row, col, in.qstr()});
        }
        break;
    case Op::RowsPermuted: {
        c.row = in.index();
        for (size_t n = in.count(); n > 0 && !in.failed(); --n)
            c.numbers.push_back(c.row + in.index());
        break;
    }
    case Op::ChromeSet:
        c.title = in.qstr();
        c.saveEnabled = in.u8() != 0;
        break;
    case Op::RowsReadFrom:
    case Op::TableReadFrom:
        c.file = in.file();
        break;
    case Op::RowsReadSkipping:
        c.file = in.file();
        c.file.skipped = in.numbers();
        break;
    case Op::RowsRestored:
    case Op::TableRestored:
        c.earlier = in.i64();
        c.hasRows = in.u8() != 0;
        if (c.hasRows) {
            for (size_t n = in.count(); n > 0 && !in.failed(); --n)
                c.rows.push_back(in.cells());
        }
        break;
    default:
        c.op = Op(0); // not a change this program writes: the frame is damaged
        break;
    }
    return c;
}

bool decodeFrame(const char *p, size_t n, HashKind hash, Frame &frame)
{
    Decoder in(p, n, hash);
    frame.time = QDateTime::fromMSecsSinceEpoch(in.i64());
    for (size_t count = in.count(); count > 0 && !in.failed(); --count) {
        frame.changes.push_back(decodeChange(in));
        if (frame.changes.back().op == Op(0))
            return false;
    }
    return !in.failed() && in.atEnd();
}

} // namespace

void Encoder::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(char((v >> (8 * i)) & 0xFF));
}

void Encoder::i64(int64_t v)
{
    for (int i = 0; i < 8; ++i)
        m_bytes.push_back(char((uint64_t(v) >> (8 * i)) & 0xFF));
}

void Encoder::var(uint64_t v)
{
    while (v >= 0x80) {
        m_bytes.push_back(char(v | 0x80));
        v >>= 7;
    }
    m_bytes.push_back(char(v));
}

void Encoder::str(std::string_view s)
{
    var(s.size());
    m_bytes.append(s);
}

void Encoder::str(const QString &s)
{
    str(std::string_view(s.toStdString()));
}

void Encoder::file(const FileSource &f)
{
    str(f.name);
    str(f.path);
    i64(f.size);
    i64(int64_t(f.hash));
    u8(uint8_t(f.format));
    u8(uint8_t(f.utc.kind()));
    var(uint64_t(int64_t(f.utc.hours()) + (int64_t(1) << 31)));
    str(f.locale);
    if (f.utc.kind() == UtcConversion::Kind::Zone)
        str(std::string_view(f.utc.timeZone().id().constData(), size_t(f.utc.timeZone().id().size())));
}

void Encoder::cells(const std::string_view *cells, int count)
{
    var(uint64_t(count));
    for (int i = 0; i < count; ++i)
        str(cells[i]);
}

void Encoder::rows(const GridStore &store, int64_t first)
{
    std::vector<std::string_view> cells(static_cast<size_t>(store.cols()));
    var(uint64_t(std::max<int64_t>(store.rows() - first, 0)));
    for (int64_t r = first; r < store.rows(); ++r) {
        store.rowCells(r, cells.data());
        std::string number(cells[0]); // a rendered number does not outlive the next read
        cells[0] = number;
        this->cells(cells.data(), int(cells.size()));
    }
}

QByteArray headerBytes(const Header &header)
{
    Encoder e;
    e.i64(header.firstChange);
    e.i64(header.created.toMSecsSinceEpoch());
    e.u8(header.origin.fromFile ? 1 : 0);
    if (header.origin.fromFile)
        e.file(header.origin.file);
    e.str(header.origin.title);
    e.u8(header.origin.saveEnabled ? 1 : 0);
    e.var(header.origin.numbers.size());
    for (int64_t n : header.origin.numbers)
        e.var(uint64_t(n));
    return headerAround(e.bytes(), header.hash);
}

QByteArray headerAround(const std::string &payload, HashKind hash)
{
    Encoder out;
    for (const char *m = kMagic; *m; ++m)
        out.u8(uint8_t(*m));
    out.u8(kVersion);
    out.u8(uint8_t(hash));
    out.u32(uint32_t(payload.size()));
    out.u32(checksum(payload.data(), payload.size(), hash));
    return QByteArray::fromStdString(out.bytes() + payload);
}

void appendFrame(std::string &out, const std::string &payload, HashKind hash)
{
    Encoder head;
    head.u32(uint32_t(payload.size()));
    head.u32(checksum(payload.data(), payload.size(), hash));
    out += head.bytes();
    out += payload;
}

Read read(const QByteArray &bytes)
{
    Read r;
    const size_t magic = std::strlen(kMagic);
    const char *p = bytes.constData();
    size_t n = size_t(bytes.size());
    if (n < magic + 9 || std::memcmp(p, kMagic, magic) != 0) {
        r.problem = QStringLiteral("no es un registro de recuperación de Orvanel");
        return r;
    }
    Decoder start(p + magic, n - magic);
    const uint8_t version = start.u8();
    const uint8_t hash = version == 1 ? uint8_t(HashKind::Xxh64) : start.u8(); // version 1 had XXH64 only
    if ((version != 1 && version != kVersion) || hash > uint8_t(HashKind::Xxh3Pieces)) {
        r.problem = QStringLiteral("lo escribió otra versión del programa");
        return r;
    }
    r.header.hash = HashKind(hash);
    const uint32_t length = start.u32();
    const uint32_t sum = start.u32();
    size_t at = magic + 9 + (version == 1 ? 0 : 1);
    if (start.failed() || length > n - at || checksum(p + at, length, r.header.hash) != sum) {
        r.problem = QStringLiteral("su encabezado está dañado");
        return r;
    }
    Decoder head(p + at, length, r.header.hash);
    r.header.firstChange = head.i64();
    r.header.created = QDateTime::fromMSecsSinceEpoch(head.i64());
    r.header.origin.fromFile = head.u8() != 0;
    if (r.header.origin.fromFile)
        r.header.origin.file = head.file();
    r.header.origin.title = head.qstr();
    r.header.origin.saveEnabled = head.u8() != 0;
    r.header.origin.numbers = head.numbers();
    if (head.failed() || !head.atEnd()) {
        r.problem = QStringLiteral("su encabezado está dañado");
        return r;
    }
    r.ok = true;
    at += length;
    // Whole frames up to the first one that is cut short or damaged.
    while (at < n) {
        Decoder frameHead(p + at, n - at);
        const uint32_t size = frameHead.u32();
        const uint32_t frameSum = frameHead.u32();
        Frame frame;
        if (frameHead.failed() || size > n - at - 8 || checksum(p + at + 8, size, r.header.hash) != frameSum
            || !decodeFrame(p + at + 8, size, r.header.hash, frame)) {
            r.damagedEnd = true;
            break;
        }
        r.frames.push_back(std::move(frame));
        at += 8 + size;
    }
    r.wholeBytes = int64_t(at);
    return r;
}

} // namespace journal
