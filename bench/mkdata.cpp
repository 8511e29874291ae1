// Makes the data the comparisons run on, the same every time (fixed seeds):
//   bench_mkdata folder DIR COUNT PROGRAM_PERCENT  a folder of COUNT entries: program
//                                                  files (.exe .ocx .dll in mixed case),
//                                                  other files, a few folders and hidden
//                                                  files; sizes and dates vary
//   bench_mkdata big FILE MIB                      one file of MIB mebibytes
//   bench_mkdata lines FILE COUNT                  a list file of COUNT CR LF lines in
//                                                  the single-byte code page
//   bench_mkdata table DIR COUNT                   DIR/table.tsv (name, number, date) and
//                                                  the three columns as text files
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::mt19937_64 rng(20240607);

std::uint64_t pick(std::uint64_t n)
{
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(rng);
}

// A modification time within five years before 2024-06-01, on any second.
time_t someTime()
{
    return 1717200000 - static_cast<time_t>(pick(5ull * 365 * 24 * 3600));
}

std::string someWord(int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    const int length = minLength + static_cast<int>(pick(maxLength - minLength + 1));
    std::string s;
    for (int i = 0; i < length; ++i)
        s += letters[pick(sizeof letters - 1)];
    return s;
}

void fail(const std::string& what)
{
    std::fprintf(stderr, "bench_mkdata: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void makeFile(const std::string& path, off_t size, time_t modified)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail(path);
    if (size > 0 && ::ftruncate(fd, size) != 0)
        fail(path);
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ::futimens(fd, times);
    ::close(fd);
}

int folder(const std::string& dir, long count, int programPercent)
{
    ::mkdir(dir.c_str(), 0755);
    static const char* programs[] = {"exe", "exe", "exe", "ocx", "dll", "dll", "EXE", "Dll", "OCX"};
    static const char* others[] = {"txt", "ini", "cfg", "dat", "bak", "exe.X01", "dll.X02", "log", "lnk"};
    for (long i = 0; i < count; ++i) {
        const std::string stem = dir + "/" + someWord(4, 12) + std::to_string(i);
        const std::uint64_t roll = pick(1000);
        if (roll < 5) {  // a folder that looks like a program
            ::mkdir((stem + ".exe").c_str(), 0755);
            continue;
        }
        if (roll < 10) {  // a hidden program file
            makeFile(dir + "/." + someWord(4, 12) + std::to_string(i) + ".exe", 1000, someTime());
            continue;
        }
        const bool program = static_cast<int>(pick(100)) < programPercent;
        const char* ext = program ? programs[pick(std::size(programs))] : others[pick(std::size(others))];
        makeFile(stem + "." + ext, static_cast<off_t>(pick(50u << 20)), someTime());
    }
    return 0;
}

int big(const std::string& path, long mib)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail(path);
    std::vector<std::uint64_t> block((1 << 20) / 8);
    for (long m = 0; m < mib; ++m) {
        for (auto& w : block)
            w = rng();
        if (::write(fd, block.data(), 1 << 20) != (1 << 20))
            fail(path);
    }
    ::close(fd);
    return 0;
}

int lines(const std::string& path, long count)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        fail(path);
    for (long i = 0; i < count; ++i) {
        std::string line = someWord(1, 8) + "=" + someWord(8, 40) + ";" + std::to_string(pick(1000000));
        if (pick(20) == 0)
            line += "\xE9\x80";  // e acute and the euro sign of the code page
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

std::string dateText(time_t t)
{
    tm parts{};
    ::localtime_r(&t, &parts);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &parts);
    return buf;
}

int table(const std::string& dir, long count)
{
    ::mkdir(dir.c_str(), 0755);
    FILE* all = std::fopen((dir + "/table.tsv").c_str(), "wb");
    FILE* names = std::fopen((dir + "/names.txt").c_str(), "wb");
    FILE* numbers = std::fopen((dir + "/numbers.txt").c_str(), "wb");
    FILE* dates = std::fopen((dir + "/dates.txt").c_str(), "wb");
    if (!all || !names || !numbers || !dates)
        fail(dir);
    for (long i = 0; i < count; ++i) {
        const std::string name = someWord(5, 20) + ".exe";
        std::string number = std::to_string(pick(100000000));
        if (pick(4) == 0)
            number += "." + std::to_string(pick(100));
        const std::string date = dateText(someTime());
        std::fprintf(all, "%s\t%s\t%s\n", name.c_str(), number.c_str(), date.c_str());
        std::fprintf(names, "%s\n", name.c_str());
        std::fprintf(numbers, "%s\n", number.c_str());
        std::fprintf(dates, "%s\n", date.c_str());
    }
    for (FILE* f : {all, names, numbers, dates})
        std::fclose(f);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "folder" && argc == 5)
        return folder(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
    if (what == "big" && argc == 4)
        return big(argv[2], std::atol(argv[3]));
    if (what == "lines" && argc == 4)
        return lines(argv[2], std::atol(argv[3]));
    if (what == "table" && argc == 4)
        return table(argv[2], std::atol(argv[3]));
    std::fprintf(stderr, "usage: see the head of bench/mkdata.cpp\n");
    return 2;
}
