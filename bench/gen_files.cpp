// Writes the benchmark's files: DIR/big.csv, 1,000,000 records x 10 columns of comma text
// (about 87 MB: integers, decimals like 1234.56, dates like 03/14/2024, short words; about 5% of
// the rows have a quoted field holding a comma, a few a doubled quote), and DIR/big.tsv, the
// same records as tab text. Lines end in CRLF, as Pellumar writes them, so that a load and a
// save give back the file byte for byte.
//
//   gen_files DIR [records]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

const char* const kWords[] = {"alpha",  "bravo",    "charlie", "delta",  "echo",    "foxtrot",
                              "golf",   "hotel",    "india",   "juliet", "kilo",    "lima",
                              "mike",   "november", "oscar",   "papa",   "quebec",  "romeo",
                              "sierra", "tango",    "uniform", "victor", "whiskey", "xray",
                              "yankee", "zulu",     "amber",   "cobalt", "indigo",  "scarlet"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// Appends a field, quoted when it holds the separator or a quote, with its quotes doubled.
void field(std::string& line, const std::string& text, char sep) {
    if (text.find(sep) == std::string::npos && text.find('"') == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_files DIR [records]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const long records = argc > 2 ? std::atol(argv[2]) : 1000000;
    FILE* csv = std::fopen((dir + "/big.csv").c_str(), "wb");
    FILE* tsv = std::fopen((dir + "/big.tsv").c_str(), "wb");
    if (!csv || !tsv) {
        std::perror("gen_files");
        return 1;
    }
    std::mt19937_64 rng(20240314);
    const char* titles[] = {"Id",    "Amount", "Date",  "Name", "City",
                            "Count", "Price",  "Group", "Due",  "Note"};
    std::string c;
    std::string t;
    for (int i = 0; i < 10; ++i) {
        c += i ? "," : "";
        t += i ? "\t" : "";
        c += titles[i];
        t += titles[i];
    }
    c += "\r\n";
    t += "\r\n";
    std::fwrite(c.data(), 1, c.size(), csv);
    std::fwrite(t.data(), 1, t.size(), tsv);
    char buf[64];
    for (long r = 1; r <= records; ++r) {
        const auto v = rng();
        std::string f[10];
        f[0] = std::to_string(r);
        std::snprintf(buf, sizeof buf, "%u.%02u", unsigned(v % 1000000), unsigned(v >> 20) % 100);
        f[1] = buf;
        std::snprintf(buf, sizeof buf, "%02u/%02u/%u", unsigned(v >> 8) % 12 + 1,
                      unsigned(v >> 12) % 28 + 1, 1990 + unsigned(v >> 16) % 35);
        f[2] = buf;
        f[3] = kWords[(v >> 24) % kWordCount];
        f[4] = kWords[(v >> 29) % kWordCount];
        f[5] = std::to_string((v >> 34) % 1000000);
        std::snprintf(buf, sizeof buf, "%u.%02u", unsigned(v >> 40) % 10000,
                      unsigned(v >> 44) % 100);
        f[6] = buf;
        f[7] = kWords[(v >> 50) % kWordCount];
        std::snprintf(buf, sizeof buf, "%02u/%02u/%u", unsigned(v >> 54) % 12 + 1,
                      unsigned(v >> 58) % 28 + 1, 2000 + unsigned(v >> 3) % 30);
        f[8] = buf;
        const unsigned pick = unsigned(v >> 5) % 1000;
        if (pick < 50) {
            f[9] = std::string(kWords[pick % kWordCount]) + ", " + kWords[(pick / 7) % kWordCount];
        } else if (pick < 53) {
            f[9] = std::string("say \"") + kWords[pick % kWordCount] + "\"";
        } else {
            f[9] =
                std::string(kWords[(v >> 7) % kWordCount]) + " " + kWords[(v >> 11) % kWordCount];
        }
        c.clear();
        t.clear();
        for (int i = 0; i < 10; ++i) {
            if (i) {
                c += ',';
                t += '\t';
            }
            field(c, f[i], ',');
            field(t, f[i], '\t');
        }
        c += "\r\n";
        t += "\r\n";
        std::fwrite(c.data(), 1, c.size(), csv);
        std::fwrite(t.data(), 1, t.size(), tsv);
    }
    return std::fclose(csv) == 0 && std::fclose(tsv) == 0 ? 0 : 1;
}
