// A whole file opened as a saved picture, by the path the window and --from
// take (readRecipe on the file's bytes), for every program: it never
// crashes, hangs or takes unbounded memory, and gives an error or a whole,
// sound recipe (RecipeChecks.h).
#include <QBuffer>
#include <array>
#include <vector>

#include "apps/Programs.h"
#include "picture/PictureFile.h"
#include "tests/fuzz/RecipeChecks.h"

using namespace vortiquo;

namespace {

std::uint32_t crc32Of(const std::uint8_t* bytes, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t index = 0; index < 256; ++index) {
            std::uint32_t value = index;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
            entries[index] = value;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t at = 0; at < size; ++at)
        crc = table[(crc ^ bytes[at]) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t bigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

// libpng drops a text chunk whose checksum is wrong, so nearly every change
// the fuzzer makes to a recipe would be thrown away before our reader saw
// it: each whole chunk gets its right checksum back. Checksums are libpng's
// business, not ours.
QByteArray withChunkChecksums(const std::uint8_t* data, std::size_t size)
{
    QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto* bytes = reinterpret_cast<std::uint8_t*>(file.data());
    std::size_t at = 8;  // past the signature
    while (at + 12 <= size) {
        const std::size_t length = bigEndian(bytes + at);
        if (length > size - at - 12)
            break;
        const std::uint32_t crc = crc32Of(bytes + at + 4, length + 4);
        for (int byte = 0; byte < 4; ++byte)
            bytes[at + 8 + length + static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(crc >> (24 - 8 * byte));
        at += length + 12;
    }
    return file;
}

// Decoding dominates the time of an input, so a file is read only by the
// program its "Software" text names, as a user would open it; a file that
// names none is read by all.
std::vector<const Program*> readersOf(const QByteArray& file)
{
    std::vector<const Program*> readers;
    for (const Program& program : allPrograms())
        if (file.contains(QByteArray("Vortiquo ") + program.name))
            readers.push_back(&program);
    if (readers.empty())
        for (const Program& program : allPrograms())
            readers.push_back(&program);
    return readers;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // libpng's complaints about damaged files, through Qt, would flood the log.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray file = withChunkChecksums(data, size);
    for (const Program* reader : readersOf(file)) {
        const Program& program = *reader;
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        QString error;
        const std::optional<Recipe> recipe = readRecipe(buffer, program, error);
        recipe_checks::checkReading(recipe, error, program);
    }
    return 0;
}
