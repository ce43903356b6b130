#include "platform/pngwriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace pngwriter {

namespace {

// Rows per band. Fixed, so that the bytes written do not depend on the
// number of threads; small enough that a page has work for every thread.
constexpr int kBandRows = 32;
constexpr int kMaxThreads = 8;

// A buffer that grows and never shrinks, and is not cleared when it grows:
// every byte used is written first.
class Buffer {
public:
    uint8_t* data() { return data_.get(); }
    const uint8_t* data() const { return data_.get(); }
    void reserve(size_t n)
    {
        if (n > capacity_) {
            data_.reset(new uint8_t[n]);
            capacity_ = n;
        }
    }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
};

// Threads that run the tasks of one job side by side with the caller. Each
// task learns its number and the slot (0 .. size - 1) of the thread that runs
// it, so that per-thread state needs no lock.
class Pool {
public:
    using Task = std::function<void(int task, int slot)>;

    // Fewer threads when the system refuses more.
    explicit Pool(int size)
    {
        try {
            for (int slot = 1; slot < size; ++slot)
                threads_.emplace_back([this, slot] { serve(slot); });
        } catch (const std::system_error&) {
        }
    }
    ~Pool()
    {
        {
            const std::lock_guard lock(m_);
            quit_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }
    int size() const { return int(threads_.size()) + 1; }

    // Runs tasks 0 .. count - 1 and returns when all are done and every
    // thread is idle again.
    void run(int count, const Task& task)
    {
        {
            const std::lock_guard lock(m_);
            task_ = &task;
            count_ = count;
            next_.store(0);
            running_ = int(threads_.size());
            ++job_;
        }
        wake_.notify_all();
        drain(0);
        std::unique_lock lock(m_);
        idle_.wait(lock, [this] { return running_ == 0; });
    }

private:
    void drain(int slot)
    {
        for (int i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1))
            (*task_)(i, slot);
    }
    void serve(int slot)
    {
        uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(m_);
                wake_.wait(lock, [&] { return quit_ || job_ != seen; });
                if (quit_)
                    return;
                seen = job_;
            }
            drain(slot);
            const std::lock_guard lock(m_);
            if (--running_ == 0)
                idle_.notify_one();
        }
    }

    std::mutex m_;
    std::condition_variable wake_, idle_;
    const Task* task_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    uint64_t job_ = 0;
    int running_ = 0; // threads still on the current job
    bool quit_ = false;
    std::vector<std::thread> threads_;
};

void putBig32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// A whole chunk (length, type, data, CRC) at `p`; returns the end.
uint8_t* putChunk(uint8_t* p, const char* type, const uint8_t* data, uint32_t size)
{
    putBig32(p, size);
    std::memcpy(p + 4, type, 4);
    if (size > 0)
        std::memcpy(p + 8, data, size);
    putBig32(p + 8 + size, uint32_t(crc32(0, p + 4, 4 + size)));
    return p + 12 + size;
}

// ---- Run-length deflate ------------------------------------------------------
//
// What zlib does with its run-length strategy, made for this one job and
// several times faster: where the byte before a position equals the three
// bytes from it on, the bytes from there that repeat it (up to 258) become a
// match at distance 1; every other byte is a literal. Each block gets its own Huffman codes, or
// is stored when that is smaller. A band is a piece of a deflate stream that
// starts and ends on a byte boundary and never looks back before its own
// start, so the bands join into one stream.

constexpr int kMinRun = 3;
constexpr int kMaxRun = 258;
constexpr int kEndOfBlock = 256;
constexpr int kLitLenSymbols = 286;
constexpr int kDistSymbols = 30;
constexpr int kCodeLenSymbols = 19;
constexpr size_t kBlockBytes = size_t(1) << 17; // input bytes per block (a run may end past it)
constexpr size_t kMaxStored = 65535;

uint64_t load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    return v;
}

void store64(uint8_t* p, uint64_t v)
{
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}

// A length's symbol (257..285) and its extra bits.
struct LengthCode {
    uint16_t symbol = 0;
    uint8_t extraBits = 0;
    uint16_t extra = 0;
};

const std::array<LengthCode, kMaxRun + 1>& lengthCodes()
{
    static const auto table = [] {
        constexpr uint16_t base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        constexpr uint8_t extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        std::array<LengthCode, kMaxRun + 1> t{};
        int c = 0;
        for (int len = kMinRun; len <= kMaxRun; ++len) {
            while (c < 28 && base[c + 1] <= len)
                ++c;
            t[size_t(len)] = {uint16_t(257 + c), extra[c], uint16_t(len - base[c])};
        }
        return t;
    }();
    return table;
}

// Code lengths of at most `maxBits` for the frequencies (n <= 286);
// unused symbols get 0. At least two symbols get a code, as every decoder
// accepts that.
void huffmanLengths(const uint32_t* counts, int n, int maxBits, uint8_t* lengths)
{
    constexpr int kMax = kLitLenSymbols;
    uint32_t freq[kMax];
    std::copy_n(counts, n, freq);
    int used = int(std::count_if(freq, freq + n, [](uint32_t f) { return f > 0; }));
    for (int i = 0; used < 2 && i < n; ++i)
        if (freq[i] == 0) {
            freq[i] = 1;
            ++used;
        }
    for (;;) {
        // The leaves by weight; inner nodes come out of the merge by weight
        // too, so two queues stand in for a heap. A node's parent is always
        // made after it, so the depths follow from the last node down.
        int symbol[kMax];
        int m = 0;
        for (int i = 0; i < n; ++i)
            if (freq[i] > 0)
                symbol[m++] = i;
        std::sort(symbol, symbol + m, [&](int x, int y) { return freq[x] != freq[y] ? freq[x] < freq[y] : x < y; });
        uint64_t weight[2 * kMax];
        int parent[2 * kMax];
        for (int k = 0; k < m; ++k)
            weight[k] = freq[symbol[k]];
        int leaf = 0, inner = m, next = m;
        const auto take = [&] {
            return leaf < m && (inner >= next || weight[leaf] <= weight[inner]) ? leaf++ : inner++;
        };
        while (next < 2 * m - 1) {
            const int x = take(), y = take();
            weight[next] = weight[x] + weight[y];
            parent[x] = parent[y] = next++;
        }
        uint8_t depth[2 * kMax];
        depth[next - 1] = 0;
        int longest = 0;
        for (int k = next - 2; k >= 0; --k) {
            depth[k] = uint8_t(depth[parent[k]] + 1);
            longest = std::max(longest, int(depth[k]));
        }
        if (longest <= maxBits) {
            std::fill(lengths, lengths + n, 0);
            for (int k = 0; k < m; ++k)
                lengths[symbol[k]] = depth[k];
            return;
        }
        // Too deep: flatten the frequencies and build again.
        for (int i = 0; i < n; ++i)
            if (freq[i] > 0)
                freq[i] = std::max<uint32_t>(1, freq[i] / 2);
    }
}

// The canonical codes of the lengths, bit-reversed as deflate sends them.
void canonicalCodes(const uint8_t* lengths, int n, uint16_t* codes)
{
    int count[16] = {};
    for (int i = 0; i < n; ++i)
        ++count[lengths[i]];
    count[0] = 0;
    uint32_t next[16] = {};
    uint32_t code = 0;
    for (int bits = 1; bits <= 15; ++bits) {
        code = (code + uint32_t(count[bits - 1])) << 1;
        next[bits] = code;
    }
    for (int i = 0; i < n; ++i) {
        uint32_t c = lengths[i] ? next[lengths[i]]++ : 0, reversed = 0;
        for (int b = 0; b < lengths[i]; ++b, c >>= 1)
            reversed = (reversed << 1) | (c & 1);
        codes[i] = uint16_t(reversed);
    }
}

// Bits into bytes, least significant first. Every flush stores eight bytes,
// so the buffer needs eight bytes of room past the last one written.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out)
        : out_(out)
    {
    }
    // At most 56 bits between two flushes.
    void put(uint64_t bits, int count)
    {
        acc_ |= bits << used_;
        used_ += count;
    }
    void flush()
    {
        store64(out_, acc_);
        out_ += used_ >> 3;
        acc_ = used_ >= 8 ? acc_ >> (used_ & ~7) : acc_;
        used_ &= 7;
    }
    // Pads with zero bits to the next byte and returns where it goes on.
    uint8_t* align()
    {
        flush();
        if (used_ > 0)
            ++out_;
        acc_ = 0;
        used_ = 0;
        return out_;
    }
    // Whole bytes, after align().
    void bytes(const uint8_t* data, size_t n)
    {
        std::memcpy(out_, data, n);
        out_ += n;
    }

private:
    uint8_t* out_;
    uint64_t acc_ = 0;
    int used_ = 0;
};

// Stored blocks for `n` bytes; the last one final when `final`.
void putStored(BitWriter& w, const uint8_t* data, size_t n, bool final)
{
    do {
        const size_t part = std::min(n, kMaxStored);
        n -= part;
        w.put(final && n == 0 ? 1 : 0, 3); // final flag, type 00
        w.align();
        const uint8_t header[4] = {uint8_t(part), uint8_t(part >> 8), uint8_t(~part), uint8_t(~part >> 8)};
        w.bytes(header, 4);
        w.bytes(data, part);
        data += part;
    } while (n > 0);
}

size_t storedBytes(size_t n)
{
    return n + 5 * std::max<size_t>(1, (n + kMaxStored - 1) / kMaxStored);
}

// A run: `length` bytes at `at` repeat the byte before them.
struct Run {
    uint32_t at;
    uint32_t length;
};

// One block: bytes [begin, end) of the band, as literals and the runs among them.
struct Block {
    size_t begin = 0, end = 0;
    const Run* runs = nullptr;
    size_t runCount = 0;
    uint32_t litLen[kLitLenSymbols] = {}; // symbol counts, end of block excluded
    uint64_t extraBits = 0;               // of all run lengths
};

void putBlock(BitWriter& w, const uint8_t* data, const Block& b, bool final, bool storeOnly)
{
    const size_t bytes = b.end - b.begin;
    if (storeOnly) {
        putStored(w, data + b.begin, bytes, final);
        return;
    }
    uint32_t litFreq[kLitLenSymbols];
    std::copy_n(b.litLen, kLitLenSymbols, litFreq);
    litFreq[kEndOfBlock] = 1;
    uint32_t distFreq[kDistSymbols] = {uint32_t(b.runCount)};
    uint8_t litLens[kLitLenSymbols], distLens[kDistSymbols];
    huffmanLengths(litFreq, kLitLenSymbols, 15, litLens);
    huffmanLengths(distFreq, kDistSymbols, 15, distLens);
    int hlit = kLitLenSymbols;
    while (hlit > 257 && litLens[hlit - 1] == 0)
        --hlit;
    int hdist = kDistSymbols;
    while (hdist > 1 && distLens[hdist - 1] == 0)
        --hdist;
    uint8_t lengths[kLitLenSymbols + kDistSymbols]; // both sets of lengths as they are sent
    std::copy_n(litLens, hlit, lengths);
    std::copy_n(distLens, hdist, lengths + hlit);

    // The code lengths, run-length coded: 16 repeats the last 3..6 times,
    // 17 and 18 give 3..10 and 11..138 zeros.
    struct CodeLen {
        uint8_t symbol, extra;
    };
    std::vector<CodeLen> codeLens;
    const int total = hlit + hdist;
    for (int i = 0; i < total;) {
        const uint8_t len = lengths[i];
        int run = 1;
        while (i + run < total && lengths[i + run] == len)
            ++run;
        i += run;
        if (len == 0) {
            for (; run >= 11; run -= std::min(run, 138))
                codeLens.push_back({18, uint8_t(std::min(run, 138) - 11)});
            if (run >= 3) {
                codeLens.push_back({17, uint8_t(run - 3)});
                run = 0;
            }
        } else {
            codeLens.push_back({len, 0});
            for (--run; run >= 3; run -= std::min(run, 6))
                codeLens.push_back({16, uint8_t(std::min(run, 6) - 3)});
        }
        for (; run > 0; --run)
            codeLens.push_back({len, 0});
    }
    uint32_t clFreq[kCodeLenSymbols] = {};
    for (const CodeLen& c : codeLens)
        ++clFreq[c.symbol];
    uint8_t clLens[kCodeLenSymbols];
    huffmanLengths(clFreq, kCodeLenSymbols, 7, clLens);
    static constexpr uint8_t kOrder[kCodeLenSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                        11, 4,  12, 3, 13, 2, 14, 1, 15};
    static constexpr uint8_t kClExtraBits[kCodeLenSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    int hclen = kCodeLenSymbols;
    while (hclen > 4 && clLens[kOrder[hclen - 1]] == 0)
        --hclen;

    // Coded or stored, whichever is smaller.
    uint64_t bits = 3 + 5 + 5 + 4 + 3 * uint64_t(hclen) + b.extraBits + uint64_t(b.runCount) * distLens[0];
    for (int s = 0; s < kCodeLenSymbols; ++s)
        bits += uint64_t(clFreq[s]) * (clLens[s] + kClExtraBits[s]);
    for (int s = 0; s < kLitLenSymbols; ++s)
        bits += uint64_t(litFreq[s]) * litLens[s];
    if (bits >= 8 * storedBytes(bytes)) {
        putStored(w, data + b.begin, bytes, final);
        return;
    }

    uint16_t litCodes[kLitLenSymbols], distCodes[kDistSymbols], clCodes[kCodeLenSymbols];
    canonicalCodes(litLens, kLitLenSymbols, litCodes);
    canonicalCodes(distLens, kDistSymbols, distCodes);
    canonicalCodes(clLens, kCodeLenSymbols, clCodes);
    w.put(final ? 1 : 0, 1);
    w.put(2, 2); // dynamic Huffman codes
    w.put(uint32_t(hlit - 257), 5);
    w.put(uint32_t(hdist - 1), 5);
    w.put(uint32_t(hclen - 4), 4);
    w.flush();
    for (int i = 0; i < hclen; ++i) {
        w.put(clLens[kOrder[i]], 3);
        w.flush();
    }
    for (const CodeLen& c : codeLens) {
        w.put(clCodes[c.symbol] | (uint32_t(c.extra) << clLens[c.symbol]), clLens[c.symbol] + kClExtraBits[c.symbol]);
        w.flush();
    }

    // Each literal's code and its length in one word.
    uint32_t literal[256];
    for (int s = 0; s < 256; ++s)
        literal[s] = litCodes[s] | uint32_t(litLens[s]) << 16;
    const auto putLiterals = [&](size_t from, size_t to) {
        for (; from + 1 < to; from += 2) {
            const uint32_t x = literal[data[from]], y = literal[data[from + 1]];
            w.put((x & 0xFFFF) | (uint64_t(y & 0xFFFF) << (x >> 16)), int((x >> 16) + (y >> 16)));
            w.flush();
        }
        if (from < to) {
            const uint32_t x = literal[data[from]];
            w.put(x & 0xFFFF, int(x >> 16));
            w.flush();
        }
    };
    const auto& lengthsTable = lengthCodes();
    size_t at = b.begin;
    for (size_t r = 0; r < b.runCount; ++r) {
        const Run& run = b.runs[r];
        putLiterals(at, run.at);
        const LengthCode& lc = lengthsTable[run.length];
        w.put(litCodes[lc.symbol] | (uint64_t(lc.extra) << litLens[lc.symbol]) |
                  (uint64_t(distCodes[0]) << (litLens[lc.symbol] + lc.extraBits)),
              litLens[lc.symbol] + lc.extraBits + distLens[0]);
        w.flush();
        at = run.at + run.length;
    }
    putLiterals(at, b.end);
    w.put(litCodes[kEndOfBlock], litLens[kEndOfBlock]);
    w.flush();
}

// The first position p >= from (p >= 1) where a run starts: the byte before
// p equals the bytes at p, p + 1 and p + 2. `n` when there is none.
size_t nextRun(const uint8_t* d, size_t from, size_t n)
{
    size_t p = std::max<size_t>(from, 1);
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    // Eight bytes from p - 1 against the eight from p: a byte of `same` has
    // its top bit set where two neighbours are equal; three in a row mark a
    // run. Six positions per step.
    for (; p + 8 <= n; p += 6) {
        const uint64_t t = load64(d + p - 1) ^ load64(d + p);
        const uint64_t same = ~(((t & low7) + low7) | t | low7);
        const uint64_t start = same & (same >> 8) & (same >> 16) & 0x0000808080808080ULL;
        if (start)
            return p + size_t(std::countr_zero(start) >> 3);
    }
    for (; p + 2 < n; ++p)
        if (d[p - 1] == d[p] && d[p] == d[p + 1] && d[p] == d[p + 2])
            return p;
    return n;
}

// How many bytes from p (at most 258) repeat the byte before p.
size_t runLength(const uint8_t* d, size_t p, size_t n)
{
    const size_t limit = std::min(n - p, size_t(kMaxRun));
    const uint64_t pattern = 0x0101010101010101ULL * d[p - 1];
    size_t r = 0;
    for (; r + 8 <= limit; r += 8)
        if (const uint64_t x = load64(d + p + r) ^ pattern)
            return r + size_t(std::countr_zero(x) >> 3);
    while (r < limit && d[p + r] == d[p - 1])
        ++r;
    return r;
}

// Counts the literals [from, to) into the block's symbol counts.
void countLiterals(const uint8_t* d, size_t from, size_t to, uint32_t (&part)[4][256])
{
    for (; from + 4 <= to; from += 4) {
        ++part[0][d[from]];
        ++part[1][d[from + 1]];
        ++part[2][d[from + 2]];
        ++part[3][d[from + 3]];
    }
    for (; from < to; ++from)
        ++part[0][d[from]];
}

// Compresses `n` bytes into `out` (room for compressedBound(n) bytes) and
// returns the bytes written. The last band ends the stream; the others end
// with an empty stored block, which brings them to a byte boundary.
size_t deflateRuns(const uint8_t* data, size_t n, bool last, bool storeOnly, std::vector<Run>& runs, uint8_t* out)
{
    BitWriter w(out);
    const auto& lengthsTable = lengthCodes();
    size_t i = 0;
    do {
        Block b;
        b.begin = i;
        runs.clear();
        uint32_t part[4][256] = {};
        const size_t stop = std::min(n, i + kBlockBytes);
        while (i < stop) {
            const size_t p = storeOnly ? stop : nextRun(data, i, std::min(n, stop + 2));
            const size_t literalsEnd = std::min(p, stop);
            countLiterals(data, i, literalsEnd, part);
            i = literalsEnd;
            if (p >= stop)
                break;
            const size_t length = runLength(data, p, n);
            runs.push_back({uint32_t(p), uint32_t(length)});
            const LengthCode& lc = lengthsTable[length];
            ++b.litLen[lc.symbol];
            b.extraBits += lc.extraBits;
            i = p + length;
        }
        for (int s = 0; s < 256; ++s)
            b.litLen[s] = part[0][s] + part[1][s] + part[2][s] + part[3][s];
        b.end = i;
        b.runs = runs.data();
        b.runCount = runs.size();
        putBlock(w, data, b, last && i == n, storeOnly);
    } while (i < n);
    if (!last) {
        w.put(0, 3); // an empty stored block, not final
        w.align();
        const uint8_t empty[4] = {0, 0, 0xFF, 0xFF};
        w.bytes(empty, 4);
    }
    return size_t(w.align() - out);
}

// Room for what deflateRuns writes from `n` bytes, with the writer's slack.
size_t compressedBound(size_t n)
{
    const size_t blocks = n / kBlockBytes + 1;
    return storedBytes(n) + blocks * 8 + 32;
}

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01}; // deflate, 32K window, fastest

} // namespace

// Every band becomes one IDAT chunk: the first begins with the zlib header,
// the last ends with the Adler-32 of the whole filtered picture, which only
// the bands' checksums together give.
struct PngWriter::Impl {
    explicit Impl(int threads)
        : pool(threads)
        , threadState(size_t(threads))
    {
    }
    // What each thread keeps between bands.
    struct Slot {
        Buffer filtered;
        std::vector<Run> runs;
    };
    struct Band {
        Buffer compressed;
        size_t size = 0;  // compressed bytes
        uLong adler = 1;  // of the filtered rows
        uLong length = 0; // filtered bytes
        uLong crc = 0;    // of "IDAT", the header (first band) and the compressed bytes
        bool ok = false;
    };

    void compressBand(const QImage& src, int band, int bands, int level, Slot& slot);

    Pool pool;
    std::vector<Slot> threadState;
    std::vector<Band> bands;
};

void PngWriter::Impl::compressBand(const QImage& src, int b, int count, int level, Slot& slot)
{
    Band& band = bands[size_t(b)];
    band.ok = false;
    const int w = src.width();
    const int y0 = b * kBandRows;
    const int y1 = std::min(src.height(), y0 + kBandRows);
    const size_t rowBytes = 1 + 3 * size_t(w);
    band.length = uLong(rowBytes * size_t(y1 - y0));
    slot.filtered.reserve(band.length);
    for (int y = y0; y < y1; ++y) {
        const auto* cur = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uint8_t* out = slot.filtered.data() + rowBytes * size_t(y - y0);
        *out++ = 2; // up: each byte minus the one above it
        if (y == 0) {
            for (int x = 0; x < w; ++x, out += 3) {
                out[0] = uint8_t(cur[x] >> 16);
                out[1] = uint8_t(cur[x] >> 8);
                out[2] = uint8_t(cur[x]);
            }
            continue;
        }
        const auto* above = reinterpret_cast<const QRgb*>(src.constScanLine(y - 1));
        for (int x = 0; x < w; ++x, out += 3) {
            out[0] = uint8_t((cur[x] >> 16) - (above[x] >> 16));
            out[1] = uint8_t((cur[x] >> 8) - (above[x] >> 8));
            out[2] = uint8_t(cur[x] - above[x]);
        }
    }
    band.adler = adler32_z(1, slot.filtered.data(), band.length);

    // Runs only: photos compress nearly as well as with full matching at a
    // fraction of the time, and plain colour areas still shrink to nothing.
    band.compressed.reserve(compressedBound(band.length));
    band.size =
        deflateRuns(slot.filtered.data(), band.length, b == count - 1, level == 0, slot.runs, band.compressed.data());
    band.ok = true;

    uLong crc = crc32(0, reinterpret_cast<const Bytef*>("IDAT"), 4);
    if (b == 0)
        crc = crc32(crc, kZlibHeader, 2);
    band.crc = crc32_z(crc, band.compressed.data(), band.size);
}

PngWriter::PngWriter(int threads)
    : threads_(std::min(threads > 0 ? threads
                                    : int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(kMaxThreads))),
                        kMaxThreads))
{
}

PngWriter::~PngWriter() = default;

int PngWriter::threads() const
{
    return d_ ? d_->pool.size() : threads_;
}

QByteArray PngWriter::encode(const QImage& image, int level, QString* error)
{
    const auto fail = [error](const char* why) {
        if (error)
            *error = QString::fromLatin1(why);
        return QByteArray();
    };
    if (image.isNull())
        return fail("no picture");
    const QImage src = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    if (src.isNull())
        return fail("out of memory");
    level = std::clamp(level, 0, 9);
    if (!d_)
        d_ = std::make_unique<Impl>(threads_);
    const int w = src.width(), h = src.height();
    if ((1 + 3 * uint64_t(w)) * kBandRows > std::numeric_limits<uint32_t>::max())
        return fail("picture too large");
    const int count = (h + kBandRows - 1) / kBandRows;
    if (d_->bands.size() < size_t(count))
        d_->bands.resize(size_t(count));

    d_->pool.run(count, [&](int b, int slot) {
        try {
            d_->compressBand(src, b, count, level, d_->threadState[size_t(slot)]);
        } catch (const std::bad_alloc&) {
            d_->bands[size_t(b)].ok = false;
        }
    });

    uLong adler = 1;
    size_t total = sizeof kSignature + 25 + 12 + sizeof kZlibHeader + 4;
    for (int b = 0; b < count; ++b) {
        const Impl::Band& band = d_->bands[size_t(b)];
        if (!band.ok)
            return fail("compression failed");
        adler = adler32_combine(adler, band.adler, z_off_t(band.length));
        total += 12 + band.size;
    }
    if (total > size_t(std::numeric_limits<int32_t>::max()))
        return fail("picture too large");

    // The file, the bands copied into it side by side.
    QByteArray out(qsizetype(total), Qt::Uninitialized);
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    std::memcpy(p, kSignature, sizeof kSignature);
    p += sizeof kSignature;
    uint8_t ihdr[13];
    putBig32(ihdr, uint32_t(w));
    putBig32(ihdr + 4, uint32_t(h));
    ihdr[8] = 8;  // bits per sample
    ihdr[9] = 2;  // RGB
    ihdr[10] = 0; // deflate
    ihdr[11] = 0; // adaptive filters
    ihdr[12] = 0; // not interlaced
    p = putChunk(p, "IHDR", ihdr, sizeof ihdr);
    std::vector<uint8_t*> at(static_cast<size_t>(count));
    for (int b = 0; b < count; ++b) {
        at[size_t(b)] = p;
        p += 12 + d_->bands[size_t(b)].size + (b == 0 ? sizeof kZlibHeader : 0) + (b == count - 1 ? 4 : 0);
    }
    uint8_t trailer[4];
    putBig32(trailer, uint32_t(adler));
    d_->pool.run(count, [&](int b, int) {
        const Impl::Band& band = d_->bands[size_t(b)];
        const size_t head = b == 0 ? sizeof kZlibHeader : 0;
        const size_t tail = b == count - 1 ? sizeof trailer : 0;
        uint8_t* q = at[size_t(b)];
        putBig32(q, uint32_t(head + band.size + tail));
        std::memcpy(q + 4, "IDAT", 4);
        q += 8;
        if (head)
            q = std::copy_n(kZlibHeader, head, q);
        q = std::copy_n(band.compressed.data(), band.size, q);
        uLong crc = band.crc;
        if (tail) {
            q = std::copy_n(trailer, tail, q);
            crc = crc32(crc, trailer, uInt(tail));
        }
        putBig32(q, uint32_t(crc));
    });
    putChunk(p, "IEND", nullptr, 0);
    return out;
}

QByteArray encode(const QImage& image, int level, QString* error)
{
    return PngWriter().encode(image, level, error);
}

} // namespace pngwriter
