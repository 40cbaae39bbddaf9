// placeholder: flat pictures of the right sizes
#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

static void put16(std::vector<uint8_t> &b, unsigned v) { b.push_back(v & 255); b.push_back((v >> 8) & 255); }
static void put32(std::vector<uint8_t> &b, unsigned v) { put16(b, v & 0xFFFF); put16(b, v >> 16); }

static std::vector<uint8_t> dib(int w, int h, int bpp)
{
    std::vector<uint8_t> b;
    int stride = ((w * bpp + 31) / 32) * 4;
    int colours = bpp == 8 ? 256 : 0;
    put32(b, 40); put32(b, w); put32(b, h); put16(b, 1); put16(b, bpp); put32(b, 0);
    put32(b, stride * h); put32(b, 2835); put32(b, 2835); put32(b, colours); put32(b, 0);
    for (int i = 0; i < colours; i++) { b.push_back(i); b.push_back(i); b.push_back(i); b.push_back(0); }
    for (int y = 0; y < h; y++) for (int x = 0; x < stride; x++) b.push_back(uint8_t(x ^ y));
    return b;
}

static int writeBmp(const std::string &path, int w, int h, int bpp)
{
    std::vector<uint8_t> d = dib(w, h, bpp), f;
    f.push_back('B'); f.push_back('M'); put32(f, 14 + d.size()); put32(f, 0);
    put32(f, 14 + 40 + (bpp == 8 ? 1024 : 0));
    f.insert(f.end(), d.begin(), d.end());
    FILE *o = std::fopen(path.c_str(), "wb");
    if (!o) return 1;
    std::fwrite(f.data(), 1, f.size(), o);
    return std::fclose(o) ? 1 : 0;
}

static int writeIco(const std::string &path, int s)
{
    std::vector<uint8_t> d, f;
    int stride = s * 4;
    put32(d, 40); put32(d, s); put32(d, s * 2); put16(d, 1); put16(d, 32); put32(d, 0);
    put32(d, stride * s); put32(d, 0); put32(d, 0); put32(d, 0); put32(d, 0);
    for (int i = 0; i < s * s; i++) { d.push_back(200); d.push_back(100); d.push_back(50); d.push_back(255); }
    for (int i = 0; i < ((s + 31) / 32) * 4 * s; i++) d.push_back(0);
    put16(f, 0); put16(f, 1); put16(f, 1);
    f.push_back(s); f.push_back(s); f.push_back(0); f.push_back(0); put16(f, 1); put16(f, 32);
    put32(f, d.size()); put32(f, 22);
    f.insert(f.end(), d.begin(), d.end());
    FILE *o = std::fopen(path.c_str(), "wb");
    if (!o) return 1;
    std::fwrite(f.data(), 1, f.size(), o);
    return std::fclose(o) ? 1 : 0;
}

int main(int argc, char **argv)
{
    if (argc != 3) return 2;
    std::string d = std::string(argv[2]) + "/";
    int r = writeBmp(d + "logo.bmp", 128, 74, 8) | writeBmp(d + "menu_side.bmp", 145, 295, 24) |
            writeBmp(d + "wait_side.bmp", 145, 295, 24) | writeBmp(d + "emblem.bmp", 50, 64, 8) |
            writeBmp(d + "team.bmp", 640, 480, 8) | writeBmp(d + "art_cover.bmp", 640, 480, 8) |
            writeIco(d + "main.ico", 32) | writeIco(d + "chip.ico", 32) | writeIco(d + "computer.ico", 32);
    return r;
}
