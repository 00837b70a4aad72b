// fontgen: turns glyph art into the constant glyph data of a device font.
//
// Art format: `;` starts a comment line, blank lines are ignored. A header of
// `font N` and `cell WxH`, then one block per glyph in ascending order:
// `U+XXXX name`, followed by H rows of `.` (unlit) and `#` (lit), all of the
// glyph's width (at most W). Any deviation is an error with its line number.
//
// Usage: fontgen ART OUT.h NAME   (writes NAMEGlyphs, NAMEWidth, NAMEHeight)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Glyph
{
    uint32_t codePoint = 0;
    std::string name;
    std::vector<std::string> rows;
};

struct Art
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<Glyph> glyphs;
};

[[noreturn]] void fail(const std::string &file, int line, const std::string &message)
{
    std::cerr << file << ':' << line << ": " << message << '\n';
    std::exit(1);
}

std::string trimRight(std::string s)
{
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.pop_back();
    return s;
}

bool isPixelRow(const std::string &s)
{
    return !s.empty() && s.find_first_not_of(".#") == std::string::npos;
}

Art readArt(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        fail(path, 0, "cannot open");
    Art art;
    bool haveFont = false;
    std::string raw;
    int lineNo = 0;
    Glyph *current = nullptr;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = trimRight(raw);
        if (line.empty() || line[0] == ';')
            continue;
        if (current && current->rows.size() < art.height) {
            if (!isPixelRow(line))
                fail(path, lineNo, "expected a pixel row of '.' and '#'");
            if (line.size() > art.width)
                fail(path, lineNo, "row wider than the cell");
            if (!current->rows.empty() && line.size() != current->rows.front().size())
                fail(path, lineNo, "rows of one glyph differ in width");
            current->rows.push_back(line);
            continue;
        }
        if (line.rfind("font ", 0) == 0) {
            haveFont = true;
            continue;
        }
        unsigned w = 0, h = 0;
        char tail = 0;
        if (std::sscanf(line.c_str(), "cell %ux%u%c", &w, &h, &tail) == 2) {
            if (!haveFont || art.height || w == 0 || h == 0 || w > 255 || h > 64)
                fail(path, lineNo, "bad or repeated cell line");
            art.width = w;
            art.height = h;
            continue;
        }
        if (line.rfind("U+", 0) == 0) {
            if (!art.height)
                fail(path, lineNo, "glyph before the cell line");
            const std::string hex = line.substr(2, 4);
            if (hex.size() != 4 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos
                || (line.size() > 6 && line[6] != ' '))
                fail(path, lineNo, "code point must be U+ and four upper-case hex digits");
            Glyph g;
            g.codePoint = uint32_t(std::stoul(hex, nullptr, 16));
            g.name = line.size() > 7 ? line.substr(7) : std::string();
            if (!art.glyphs.empty() && g.codePoint <= art.glyphs.back().codePoint)
                fail(path, lineNo, "code points must ascend strictly");
            art.glyphs.push_back(g);
            current = &art.glyphs.back();
            continue;
        }
        fail(path, lineNo, "unexpected line");
    }
    if (current && current->rows.size() < art.height)
        fail(path, lineNo, "last glyph has too few rows");
    if (art.glyphs.empty())
        fail(path, lineNo, "no glyphs");
    return art;
}

std::vector<uint8_t> encode(const Art &art, const Glyph &g)
{
    const uint32_t bpc = (art.height - 1) / 8 + 1;
    const uint32_t w = uint32_t(g.rows.front().size());
    std::vector<uint8_t> bytes{uint8_t(g.codePoint >> 8), uint8_t(g.codePoint), uint8_t(w)};
    for (uint32_t c = 0; c < w; ++c) {
        for (uint32_t band = 0; band < bpc; ++band) {
            uint8_t b = 0;
            for (uint32_t bit = 0; bit < 8; ++bit) {
                const uint32_t row = band * 8 + bit;
                if (row < art.height && g.rows[row][c] == '#')
                    b |= uint8_t(1u << bit);
            }
            bytes.push_back(b);
        }
    }
    return bytes;
}

std::string comment(const Glyph &g)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", unsigned(g.codePoint));
    std::string c = std::string("/* ") + buf;
    if (g.codePoint >= 0x21 && g.codePoint < 0x7F && g.codePoint != '\'' && g.codePoint != '\\'
        && g.codePoint != '*' && g.codePoint != '/')
        c += std::string(" '") + char(g.codePoint) + "'";
    else if (!g.name.empty() && g.name.find("*/") == std::string::npos)
        c += " " + g.name;
    return c + " */";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::cerr << "usage: fontgen ART OUT.h NAME\n";
        return 2;
    }
    const std::string artPath = argv[1];
    const std::string name = argv[3];
    const Art art = readArt(artPath);

    std::ostringstream out;
    const std::string base = artPath.substr(artPath.find_last_of('/') + 1);
    out << "// Generated by fontgen from " << base << "; do not edit.\n"
        << "#pragma once\n\n#include <cstdint>\n\n"
        << "static constexpr uint32_t " << name << "Width = " << art.width << ";\n"
        << "static constexpr uint32_t " << name << "Height = " << art.height << ";\n\n"
        << "static const uint8_t " << name << "Glyphs[] = {\n";
    char hex[8];
    for (const Glyph &g : art.glyphs) {
        out << "    " << comment(g) << '\n' << "   ";
        for (uint8_t b : encode(art, g)) {
            std::snprintf(hex, sizeof hex, " 0x%02X,", b);
            out << hex;
        }
        out << '\n';
    }
    out << "};\n";

    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << out.str();
    return file ? 0 : 1;
}
