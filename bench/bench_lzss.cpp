/* LZSS speed: our decoder against the textbook byte-at-a-time ring decoder
 * and memcpy of the same output size, on the demo disc's pictures and on a
 * large file of mixed real data (system binaries and text); and our encoder
 * against a plain greedy one. Prints the ratios at the end. */
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "artbook/lzss.h"
#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "tests/native/lzss_reference.h"

using Bytes = std::vector<unsigned char>;

struct Sample {
    std::string name;
    std::vector<Bytes> streams;  /* LZSS streams */
    std::vector<size_t> sizes;   /* their unpacked sizes */
    size_t total;
};

static Sample Pictures, Large;
static Bytes LargeRaw;
static std::vector<Bytes> PicturesRaw;

/* ---- A plain greedy encoder: at each position the longest match the same
 * hash chains find, taken at once. ---- */
static size_t GreedyEncode(const unsigned char *in, size_t n, unsigned char *out)
{
    const int HashBits = 15, Chain = 48;
    Bytes buf(LZSS_RING_START + n, ' ');
    memcpy(buf.data() + LZSS_RING_START, in, n);
    std::vector<int> head(1 << HashBits, -1), prev(LZSS_RING_SIZE, -1);
    auto hash = [&](size_t p) {
        unsigned v = buf[p] << 16 | buf[p + 1] << 8 | buf[p + 2];
        return (v * 2654435761u) >> (32 - HashBits);
    };
    size_t inserted = 0, used = 0, flagAt = 0;
    unsigned bit = 8;
    auto insertUpTo = [&](size_t upTo) {
        for (; inserted < upTo; inserted++) {
            if (inserted + 3 > buf.size())
                continue;
            unsigned h = hash(inserted);
            prev[inserted & LZSS_RING_MASK] = head[h];
            head[h] = (int)inserted;
        }
    };
    size_t p = LZSS_RING_START;
    while (p < buf.size()) {
        insertUpTo(p);
        size_t maxLen = buf.size() - p < LZSS_MAX_MATCH ? buf.size() - p : LZSS_MAX_MATCH, best = 0, src = 0;
        if (maxLen >= LZSS_MIN_MATCH) {
            int c = head[hash(p)];
            for (int s = 0; c >= 0 && s < Chain && p - c <= LZSS_RING_SIZE; s++) {
                size_t len = 0;
                while (len < maxLen && buf[c + len] == buf[p + len])
                    len++;
                if (len > best) {
                    best = len;
                    src = c;
                }
                int next = prev[c & LZSS_RING_MASK];
                if (next >= c || best == maxLen)
                    break;
                c = next;
            }
        }
        if (bit == 8) {
            flagAt = used;
            out[used++] = 0;
            bit = 0;
        }
        if (best >= LZSS_MIN_MATCH) {
            unsigned pos = (unsigned)((src) & LZSS_RING_MASK);  /* buf index = output index + 4078 */
            out[used++] = (unsigned char)(pos & 0xFF);
            out[used++] = (unsigned char)(((pos >> 4) & 0xF0) | (best - LZSS_MIN_MATCH));
            p += best;
        } else {
            out[flagAt] |= (unsigned char)(1u << bit);
            out[used++] = buf[p];
            p++;
        }
        bit++;
    }
    return used;
}

/* ---- Data ---- */

static bool ReadFile(const std::string &path, Bytes *b, size_t limit = (size_t)-1)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char chunk[65536];
    size_t got;
    while (b->size() < limit && (got = fread(chunk, 1, sizeof chunk, f)) > 0)
        b->insert(b->end(), chunk, chunk + std::min(got, limit - b->size()));
    fclose(f);
    return true;
}

static void AddStream(Sample *s, const Bytes &raw)
{
    Bytes packed(LzssEncodeBound(raw.size()));
    size_t n = 0;
    if (!LzssEncode(raw.data(), raw.size(), packed.data(), packed.size(), &n))
        abort();
    packed.resize(n);
    s->streams.push_back(packed);
    s->sizes.push_back(raw.size());
    s->total += raw.size();
}

static void LoadPictures()
{
    Pictures.name = "pictures";
    std::string dir = std::string(KVL_SOURCE_DIR) + "/out/disc/Artbook";
    DIR *d = opendir(dir.c_str());
    std::vector<std::string> names;
    for (struct dirent *e; d && (e = readdir(d));)
        if (strstr(e->d_name, ".ppk"))
            names.push_back(e->d_name);
    if (d)
        closedir(d);
    for (const std::string &name : names) {
        Bytes image;
        ReadFile(dir + "/" + name, &image);
        unsigned char *raw = UnpackPpkImage(image.data(), image.size(), NULL, 0);
        PpkHeader h;
        if (!raw || !ReadPpkHeader(image.data(), image.size(), &h))
            continue;
        PicturesRaw.push_back(Bytes(raw, raw + h.unpackedLength));
        AddStream(&Pictures, PicturesRaw.back());
        free(raw);
    }
    printf("Demo pictures: %zu from %s (%zu bytes unpacked)\n", Pictures.streams.size(), dir.c_str(), Pictures.total);
}

static void LoadLarge()
{
    Large.name = "mixed";
    const size_t binaries = 24u << 20, texts = 8u << 20;
    const char *dirs[] = { "/usr/bin", "/usr/share/common-licenses", "/usr/share/perl5/Pod",
                           "/usr/include", "/usr/include/linux", "/usr/share/doc" };
    for (int i = 0; i < 6; i++) {
        DIR *d = opendir(dirs[i]);
        std::vector<std::string> names;
        for (struct dirent *e; d && (e = readdir(d));)
            if (e->d_name[0] != '.')
                names.push_back(std::string(dirs[i]) + "/" + e->d_name);
        if (d)
            closedir(d);
        std::sort(names.begin(), names.end());
        size_t limit = i == 0 ? binaries : binaries + texts;
        for (const std::string &n : names)
            if (LargeRaw.size() < limit)
                ReadFile(n, &LargeRaw, limit);
    }
    auto t0 = std::chrono::steady_clock::now();
    AddStream(&Large, LargeRaw);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    printf("Mixed file: %zu bytes of /usr/bin and text, packed to %zu (%.1f%%) in %.2f s\n", LargeRaw.size(),
           Large.streams[0].size(), 100.0 * Large.streams[0].size() / LargeRaw.size(), s);
}

/* Ours and the reference must agree byte for byte, ring included. */
static void CheckIdentical(const Sample &s)
{
    for (size_t i = 0; i < s.streams.size(); i++) {
        Bytes a(s.sizes[i] + PPK_SLACK), b(s.sizes[i] + PPK_SLACK);
        size_t n = LzssDecode(a.data(), a.size(), s.streams[i].data(), s.streams[i].size());
        size_t m = RefDecode(b.data(), b.size(), s.streams[i].data(), s.streams[i].size());
        if (n != m || n != s.sizes[i] || a != b || memcmp(LzssRing(), RefRing, LZSS_RING_SIZE) != 0) {
            fprintf(stderr, "decoders differ on %s #%zu\n", s.name.c_str(), i);
            exit(1);
        }
    }
}

/* ---- Benchmarks ---- */

enum Kind { OURS, REFERENCE, MEMCPY };

static void Decode(benchmark::State &state, Sample *s, Kind kind)
{
    size_t biggest = 0;
    for (size_t n : s->sizes)
        biggest = std::max(biggest, n);
    Bytes out(biggest + PPK_SLACK), src(biggest + PPK_SLACK, 1);
    for (auto _ : state) {
        for (size_t i = 0; i < s->streams.size(); i++) {
            const Bytes &in = s->streams[i];
            if (kind == OURS)
                benchmark::DoNotOptimize(LzssDecode(out.data(), out.size(), in.data(), in.size()));
            else if (kind == REFERENCE)
                benchmark::DoNotOptimize(RefDecode(out.data(), out.size(), in.data(), in.size()));
            else
                memcpy(out.data(), src.data(), s->sizes[i]);
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)s->total);
}

static const size_t EncodeSlice = 4u << 20;

/* Packs each input with ours or the greedy encoder; reports the packed
 * share and checks that the streams restore their input. */
static void Encode(benchmark::State &state, const std::vector<Bytes> *inputs, bool greedy)
{
    size_t total = 0, packedTotal = 0;
    std::vector<Bytes> outs;
    for (const Bytes &in : *inputs) {
        outs.push_back(Bytes(LzssEncodeBound(in.size())));
        total += in.size();
    }
    std::vector<size_t> packed(inputs->size());
    for (auto _ : state) {
        for (size_t i = 0; i < inputs->size(); i++) {
            const Bytes &in = (*inputs)[i];
            if (greedy)
                packed[i] = GreedyEncode(in.data(), in.size(), outs[i].data());
            else
                LzssEncode(in.data(), in.size(), outs[i].data(), outs[i].size(), &packed[i]);
        }
        benchmark::ClobberMemory();
    }
    for (size_t i = 0; i < inputs->size(); i++) {
        const Bytes &in = (*inputs)[i];
        packedTotal += packed[i];
        Bytes back(in.size() + PPK_SLACK);
        if (LzssDecode(back.data(), back.size(), outs[i].data(), packed[i]) != in.size() ||
            memcmp(back.data(), in.data(), in.size()) != 0)
            state.SkipWithError("stream does not restore the input");
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)total);
    state.counters["packed%"] = 100.0 * packedTotal / total;
}

/* Keeps each run's time per iteration to print the ratios at the end. */
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    std::map<std::string, double> packed;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            std::string name = r.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            seconds[name] = r.GetAdjustedCPUTime();
            auto c = r.counters.find("packed%");
            if (c != r.counters.end())
                packed[name] = c->second;
        }
    }
};

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    LoadPictures();
    LoadLarge();
    if (Pictures.streams.empty()) {
        /* No disc yet: 640 x 480 slices of the mixed data stand in. */
        for (size_t at = 0; at + 308278 <= LargeRaw.size() && Pictures.streams.size() < 20; at += 1600000)
            AddStream(&Pictures, Bytes(LargeRaw.begin() + at, LargeRaw.begin() + at + 308278));
        printf("No demo pictures: using %zu slices of the mixed file instead\n", Pictures.streams.size());
    }
    CheckIdentical(Pictures);
    CheckIdentical(Large);
    printf("Our decoder and the reference agree byte for byte (output and ring).\n");

    Sample *samples[] = { &Pictures, &Large };
    for (Sample *s : samples) {
        benchmark::RegisterBenchmark(("decode/ours/" + s->name).c_str(), Decode, s, OURS)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/reference/" + s->name).c_str(), Decode, s, REFERENCE)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("decode/memcpy/" + s->name).c_str(), Decode, s, MEMCPY)->Unit(benchmark::kMillisecond);
    }
    static std::vector<Bytes> slice(1, Bytes(LargeRaw.begin(), LargeRaw.begin() + std::min(EncodeSlice, LargeRaw.size())));
    const std::vector<Bytes> *encodeInputs[] = { &PicturesRaw, &slice };
    const char *encodeNames[] = { "pictures", "mixed4MB" };
    for (int i = 0; i < 2; i++) {
        if (encodeInputs[i]->empty())
            continue;
        benchmark::RegisterBenchmark((std::string("encode/ours/") + encodeNames[i]).c_str(), Encode, encodeInputs[i], false)
            ->Unit(benchmark::kMillisecond)->Iterations(2);
        benchmark::RegisterBenchmark((std::string("encode/greedy/") + encodeNames[i]).c_str(), Encode, encodeInputs[i], true)
            ->Unit(benchmark::kMillisecond)->Iterations(2);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    printf("\nRatios of CPU time (time of the other / time of ours; above 1 = ours faster):\n");
    int failed = 0;
    for (Sample *s : samples) {
        double ours = reporter.seconds["decode/ours/" + s->name];
        double ref = reporter.seconds["decode/reference/" + s->name];
        double mem = reporter.seconds["decode/memcpy/" + s->name];
        if (ours <= 0)
            continue;
        printf("  %-9s ours vs reference: %.2fx   ours vs memcpy: %.3fx (memcpy %.1fx faster)\n", s->name.c_str(),
               ref / ours, mem / ours, ours / mem);
        if (ref / ours < 1.5) {
            printf("  %-9s ours is below 1.5x the reference\n", s->name.c_str());
            failed = 1;
        }
    }
    for (const char *name : encodeNames) {
        std::string n = name;
        double eo = reporter.seconds["encode/ours/" + n], eg = reporter.seconds["encode/greedy/" + n];
        if (eo > 0 && eg > 0)
            printf("  encode %-9s ours packs to %.1f%%, greedy to %.1f%%; ours takes %.2fx the greedy time\n",
                   name, reporter.packed["encode/ours/" + n], reporter.packed["encode/greedy/" + n], eo / eg);
    }
    return failed;
}
