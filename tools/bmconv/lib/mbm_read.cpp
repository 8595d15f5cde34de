// Listing and splitting of archives: the reading side of the converter.
#include "mbm_read.h"

#include "bmp_read.h"
#include "bmp_write.h"
#include "compile.h"
#include "mbm_decode.h"
#include "mbm_listing.h"
#include "mbm_pixels.h"
#include "messages.h"

#include <filesystem>
#include <memory>
#include <new>

namespace bmconv {

namespace {

ReadStatus openArchiveFile(const std::string& path, FileSource& file, ArchiveReader& reader) {
    if (!file.open(path)) {
        if (!file.exists()) return ReadStatus::fail(kFileDoesNotExist, "no such file");
        return ReadStatus::fail(kBadSourceFile, "cannot be read (a folder, or no permission)");
    }
    return reader.open();
}

// The SDK message for the code, then a line saying what exactly is wrong.
int reportFailure(std::ostream& out, const std::string& path, const ReadStatus& status) {
    out << messageFor(status.code) << "\n";
    if (!status.problem.empty()) out << path << ": " << status.problem << "\n";
    return status.code;
}

// "<name>-alpha.bmp" for the output "<name>.bmp", named as a compile looks for it; an
// output without an extension still gets a BMP file name for its mask.
std::string alphaNameFor(const std::string& output) {
    const std::string name = alphaFileName(output);
    return name == output + "-alpha" ? name + ".bmp" : name;
}

using Writers = std::vector<std::unique_ptr<BmpFileWriter>>;

// Memory a split keeps from one bitmap to the next.
struct SplitBuffers {
    std::vector<uint8_t> picture, mask, rows;
};

// Writes bitmap `index` for `output` into temporary files, appended to `done` (the alpha
// file before the picture, the order they are published in).
ReadStatus writeBitmap(ArchiveReader& reader, size_t index, const std::string& output,
                       Writers& done, SplitBuffers& buffers) {
    BitmapInfo info;
    ReadStatus status = reader.bitmap(index, info);
    if (!status.ok()) return status;
    const uint32_t width = uint32_t(info.width), height = uint32_t(info.height);
    auto picture = std::make_unique<BmpFileWriter>();
    auto mask = std::make_unique<BmpFileWriter>();
    const bool withAlpha = info.hasAlpha();
    if (!picture->begin(output, BmpFileWriter::Kind::Colour24, width, height, buffers.picture))
        return ReadStatus::fail(kBadDestinationFile, picture->error());
    if (withAlpha &&
        !mask->begin(alphaNameFor(output), BmpFileWriter::Kind::Grey8, width, height, buffers.mask))
        return ReadStatus::fail(kBadDestinationFile, mask->error());

    const RowExpander expander(info.bpp, info.colour);
    status = decodeBitmap(
        reader, info, index + 1,
        [&](const uint8_t* row) {
            // Rows are expanded straight into the files' buffers.
            expander.expand(row, width, picture->nextRow(), withAlpha ? mask->nextRow() : nullptr);
            return picture->rowDone() && (!withAlpha || mask->rowDone());
        },
        buffers.rows);
    if (status.code == kBadDestinationFile)
        return ReadStatus::fail(kBadDestinationFile, picture->error() + mask->error());
    if (!status.ok()) return status;
    if (withAlpha) {
        if (!mask->finish()) return ReadStatus::fail(kBadDestinationFile, mask->error());
        done.push_back(std::move(mask));
    }
    if (!picture->finish()) return ReadStatus::fail(kBadDestinationFile, picture->error());
    done.push_back(std::move(picture));
    return {};
}

// Every picture is written to a temporary file first and renamed into place only when all
// of them were decoded, in archive order: a damaged archive leaves no output behind, and a
// caller waiting for the last file finds all the others complete.
ReadStatus splitChecked(const std::string& path, const std::vector<std::string>& outputs) {
    FileSource file;
    ArchiveReader reader(file);
    ReadStatus status = openArchiveFile(path, file, reader);
    if (!status.ok()) return status;
    status = checkArchive(reader, 0); // headers only: the data is checked as it is decoded
    if (!status.ok()) return status;
    const size_t writeCount = std::min(reader.count(), outputs.size());
    for (size_t i = 0; i < writeCount; ++i) {
        BitmapInfo info;
        status = reader.bitmap(i, info);
        if (!status.ok()) return status;
        // The same limit as for pictures read: a compressed bitmap of a few bytes could
        // otherwise ask for gigabytes of rows.
        if (uint64_t(info.width) * uint64_t(info.height) > kMaxBmpPixels) {
            return ReadStatus::fail(
                kBadDestinationFile,
                "bitmap " + std::to_string(i + 1) + " (" + std::to_string(info.width) + " x " +
                    std::to_string(info.height) + " pixels) is too large for a BMP file");
        }
        // A folder in the way would stop the renames half-way, after some outputs replaced.
        std::vector<std::string> names{outputs[i]};
        if (info.hasAlpha()) names.push_back(alphaNameFor(outputs[i]));
        for (const std::string& name : names) {
            std::error_code ec;
            if (std::filesystem::is_directory(name, ec))
                return ReadStatus::fail(kBadDestinationFile, name + " is a folder");
        }
    }
    Writers written;
    SplitBuffers buffers;
    for (size_t i = 0; i < writeCount; ++i) {
        status = writeBitmap(reader, i, outputs[i], written, buffers);
        if (!status.ok()) return status; // the writers remove their temporary files
    }
    for (const auto& writer : written)
        if (!writer->publish()) return ReadStatus::fail(kBadDestinationFile, writer->error());
    if (outputs.size() > reader.count()) {
        return ReadStatus::fail(kSourceTargetMismatch,
                                "the archive holds " + std::to_string(reader.count()) +
                                    " bitmaps, " + std::to_string(outputs.size()) +
                                    " output files were named");
    }
    return {};
}

ReadStatus listChecked(const std::string& path, std::ostream& out) {
    FileSource file;
    ArchiveReader reader(file);
    ReadStatus status = openArchiveFile(path, file, reader);
    if (!status.ok()) return status;
    status = checkArchive(reader, reader.count());
    if (!status.ok()) return status;
    // Only a sound archive is listed: a caller reading the depth lines by position must
    // never see part of a listing.
    printListingHead(out, path, reader.kind(), reader.count());
    for (size_t i = 0; i < reader.count(); ++i) {
        BitmapInfo info;
        status = reader.bitmap(i, info);
        if (!status.ok()) return status;
        printBitmapEntry(out, i + 1, info);
    }
    out << "\n";
    return {};
}

} // namespace

int listArchive(const std::string& archivePath, std::ostream& out) {
    printBanner(out);
    ReadStatus status;
    try {
        status = listChecked(archivePath, out);
    } catch (const std::bad_alloc&) {
        status = ReadStatus::fail(kOutOfMemory, "not enough memory to read the archive");
    }
    if (!status.ok()) return reportFailure(out, archivePath, status);
    return kSuccess;
}

int splitArchive(const std::string& archivePath, const std::vector<std::string>& outputs,
                 std::ostream& out) {
    printBanner(out);
    out << "Decompiling...\n"
        << "Epoc file: " << archivePath << "\n\n";
    for (size_t i = 0; i < outputs.size(); ++i)
        out << "Bitmap file " << i + 1 << "\t: " << outputs[i] << "\n";
    ReadStatus status;
    try {
        status = splitChecked(archivePath, outputs);
    } catch (const std::bad_alloc&) {
        status = ReadStatus::fail(kOutOfMemory, "not enough memory to split the archive");
    }
    if (!status.ok()) return reportFailure(out, archivePath, status);
    out << messageFor(kSuccess) << "\n";
    return kSuccess;
}

} // namespace bmconv
