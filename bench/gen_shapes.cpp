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
#include <cstdint>
#include <cstdio>
#include <string>

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
        writeFile(dir + "scatter.csv", scatter()) && writeFile(dir + "utf16.txt", utf16());
    return ok ? 0 : 1;
}
