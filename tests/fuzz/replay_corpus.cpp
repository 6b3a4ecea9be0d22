// Feeds every file of the corpus folders given on the command line to a fuzz target's entry
// point once, so that a plain test run checks the inputs the fuzzers found, without clang or
// libFuzzer. A target stops the program on the first property that fails; a folder that holds
// no files fails too, so that a moved corpus is not checked silently.

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QFileInfoList inputs =
            QDir(QString::fromLocal8Bit(argv[i])).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& input : inputs) {
            QFile file(input.filePath());
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "%s: cannot be read\n", qPrintable(input.filePath()));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
        }
        std::printf("%s: %lld inputs replayed\n", argv[i], static_cast<long long>(inputs.size()));
        if (inputs.isEmpty()) {
            return 1;
        }
    }
    return argc < 2 ? 2 : 0;
}
