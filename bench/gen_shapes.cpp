// Writes the files of the load-memory benchmark (bench/memory.sh) into DIR: the hostile and
// unlucky shapes that once cost memory out of all proportion to the file, and ordinary shapes
// whose peak must stay within three times the file plus eight bytes a filled cell plus 64 MB.
//
//   gen_shapes DIR
//
//   wide-4mb.csv     a 1,900-field title line, 66,000 blank lines, one field filling it to 4 MB
//   wide-8mb.csv     the same, 8 MB
//   zeros-40mb.plm   a native header claiming 40 million rows without columns, then zero bytes
//   commas-10m.csv   one line of 10 million commas
//   tall-300.csv     a 300-field title line over 2,000,000 records of two fields (8 MB)
//   dense.csv        400,000 records x 10 short fields (about 20 MB)
//   empty-cols.csv   20,000 records x 1,000 fields, only the first 10 filled (about 20 MB)
//   blank-lines.csv  40 million bare line feeds (40 MB)
//   ragged.csv       records of 1 to 40 fields (about 40 MB)
//   huge-field.csv   one quoted field of 40 MB with doubled quotes in it
//   scatter.csv      65,536 filled fields, 8,192 blank lines, and again, 8 times: 1.1 MB that
//                    would need 28 GB (each band a fresh 64 KB block in every column)
//   utf16.txt        UTF-16LE with a byte-order mark, 200,000 records x 5 fields (about 12 MB)
//   titles-65536.csv 65,536 titles over 1,000,000 records of one field (2.4 MB): every other cell
//                    of the table is empty
//   runs-40m.plm     a version 2 native file of one column and 40 million records, with one
//                    style run and one height run over all of them (40 MB)
//   heights-38m.plm  a version 2 native file of 38 million empty records without columns and one
//                    height run over them (38 MB)
//   styled-cols.plm  a version 2 native file of 65,536 columns and one record, with a style run
//                    in each column (2.5 MB)
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/document/NativeFormat.h"

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string titles(int fields) {
    std::string line;
    for (int i = 1; i <= fields; ++i) {
        line += i > 1 ? ",f" : "f";
        line += std::to_string(i);
    }
    return line + "\n";
}

std::string wide(size_t total) {
    std::string s = titles(1900) + std::string(66000, '\n');
    s.append(total - s.size(), 'x');
    return s;
}

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    }
}

std::string zerosNative(size_t total) {
    std::string s("\x89PLM\r\n\x1a\n", 8);
    const size_t header = 8 + 5 * 4;                      // magic and five numbers
    put32(s, 1);                                          // version
    put32(s, static_cast<uint32_t>(total - header - 8));  // rows: one zero byte each
    put32(s, 0);                                          // columns
    put32(s, 0);                                          // row heights
    put32(s, 0);                                          // styles
    s.resize(total, '\0');                                // the rows and a wrong check sum
    return s;
}

std::string titlesOverRecords() {
    std::string s = titles(65536);
    for (int r = 0; r < 1000000; ++r) {
        s += std::to_string(r % 10) + "\n";
    }
    return s;
}

// A version 2 native file: the header, `cols` columns without settings, `texts` as they are,
// a height run over rows 1 to rows - 1, the bold style and a run of it down each column, and the
// check sum.
std::string styledNative(uint32_t rows, uint32_t cols, const std::string& texts, bool styleRuns) {
    std::string s(pellumar::nativeformat::kMagic, 8);
    put32(s, 2);
    put32(s, rows);
    put32(s, cols);
    put32(s, 1);
    put32(s, styleRuns ? cols : 0);
    for (uint32_t c = 0; c < cols; ++c) {
        put32(s, static_cast<uint32_t>(-1));  // width
        put32(s, 9);                          // alignment
        put32(s, 0);                          // data type
        s.push_back('\0');                    // hidden
        put32(s, 0);                          // format
        put32(s, 0);                          // combo list
    }
    s += texts;
    put32(s, rows > 1 ? 1 : 0);  // the height run
    put32(s, rows > 1 ? rows - 1 : rows);
    put32(s, 480);
    put32(s, styleRuns ? 1 : 0);
    if (styleRuns) {
        put32(s, 0);  // fore colour
        put32(s, 0);  // back colour
        put32(s, 0);  // font size
        s.append("\xff\xff\0\0\x01", 5);
        for (uint32_t c = 0; c < cols; ++c) {
            put32(s, c);
            put32(s, 0);
            put32(s, rows);
            put32(s, 0);
        }
    }
    pellumar::nativeformat::Checksum sum;
    sum.update(s.data(), s.size());
    const uint64_t h = sum.result();
    put32(s, static_cast<uint32_t>(h));
    put32(s, static_cast<uint32_t>(h >> 32));
    return s;
}

std::string tall() {
    std::string s = titles(300);
    for (int i = 0; i < 2000000; ++i) {
        s += "1,2\n";
    }
    return s;
}

std::string dense() {
    std::string s;
    for (int r = 0; r < 400000; ++r) {
        for (int c = 0; c < 10; ++c) {
            if (c > 0) {
                s += ',';
            }
            s += std::to_string((r * 7 + c * 13) % 100000);
        }
        s += "\r\n";
    }
    return s;
}

std::string emptyColumns() {
    std::string s;
    for (int r = 0; r < 20000; ++r) {
        for (int c = 0; c < 10; ++c) {
            s += std::to_string(r + c) + ",";
        }
        s.append(989, ',');
        s += "\r\n";
    }
    return s;
}

std::string ragged() {
    std::string s;
    for (int r = 0; s.size() < 40000000; ++r) {
        const int fields = 1 + r % 40;
        for (int c = 0; c < fields; ++c) {
            s += c > 0 ? ",v" : "v";
            s += std::to_string(c);
        }
        s += "\n";
    }
    return s;
}

std::string hugeField() {
    std::string s = "\"";
    while (s.size() < 40000000) {
        s += "a quoted \"\"word\"\" and more, ";
    }
    return s + "\"\n";
}

std::string scatter() {
    std::string full;
    for (int c = 0; c < 65536; ++c) {
        full += c > 0 ? ",x" : "x";
    }
    full += "\n";
    std::string s;
    for (int i = 0; i < 8; ++i) {
        s += full + std::string(8192, '\n');
    }
    return s;
}

std::string utf16() {
    std::string s = "\xFF\xFE";
    const std::string row = "Zoë\tKraków\t12.50\t2024-03-14\tnote\r\n";
    for (int r = 0; r < 200000; ++r) {
        // The row is Latin text: each character is one UTF-16 unit.
        for (size_t i = 0; i < row.size(); ++i) {
            auto c = static_cast<unsigned char>(row[i]);
            uint32_t cp = c;
            if (c >= 0xC0) {
                cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(row[++i]) & 0x3Fu);
            }
            s.push_back(static_cast<char>(cp & 0xff));
            s.push_back(static_cast<char>(cp >> 8));
        }
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_shapes DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const bool ok =
        writeFile(dir + "wide-4mb.csv", wide(4000000)) &&
        writeFile(dir + "wide-8mb.csv", wide(8000000)) &&
        writeFile(dir + "zeros-40mb.plm", zerosNative(40000000)) &&
        writeFile(dir + "commas-10m.csv", std::string(10000000, ',') + "\n") &&
        writeFile(dir + "tall-300.csv", tall()) && writeFile(dir + "dense.csv", dense()) &&
        writeFile(dir + "empty-cols.csv", emptyColumns()) &&
        writeFile(dir + "blank-lines.csv", std::string(40000000, '\n')) &&
        writeFile(dir + "ragged.csv", ragged()) && writeFile(dir + "huge-field.csv", hugeField()) &&
        writeFile(dir + "scatter.csv", scatter()) && writeFile(dir + "utf16.txt", utf16()) &&
        writeFile(dir + "titles-65536.csv", titlesOverRecords()) &&
        writeFile(dir + "runs-40m.plm",
                  styledNative(40000000, 1, std::string(40000000, '\0'), true)) &&
        writeFile(dir + "heights-38m.plm",
                  styledNative(38000000, 0, std::string(38000000, '\0'), false)) &&
        writeFile(dir + "styled-cols.plm", styledNative(1, 65536, std::string(65536, '\0'), true));
    return ok ? 0 : 1;
}
