#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <sys/statvfs.h>

#include "../support/FileSizeLimit.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"
#include "files/BatchWindow.h"
#include "platform/FileBytes.h"
#include "platform/LocalFileSystem.h"

// Saves that run out of room, over a grid of old and new file sizes: a failed save leaves the
// old file whole and no temporary file behind; a save reported as done left the whole new file.
// The batch tools' edits with their backups are run over a grid of free room the same way.

namespace velmor {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Content(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Distinct bytes per size, so that a file cut short or mixed up with another shows.
std::string Pattern(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(seed + static_cast<char>(i % 251));
    }
    return bytes;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Old sizes (nullopt: no old file) against new sizes, around the 64 KiB the disks here hold.
const std::vector<std::optional<std::size_t>> kOldSizes = {std::nullopt, 0,     1000,
                                                           16000,        30000, 60000};
const std::vector<std::size_t> kNewSizes = {0, 1, 4096, 16000, 32768, 40000, 65536, 70000};

struct GridOutcome {
    int saved = 0;
    int failed = 0;
};

void CheckOneSave(const fs::path& folder, std::optional<std::size_t> oldSize, std::size_t newSize,
                  GridOutcome& outcome) {
    const fs::path path = folder / "doc.txt";
    const std::string context =
        "old " + (oldSize ? std::to_string(*oldSize) : "none") + ", new " + std::to_string(newSize);
    std::optional<std::string> old;
    if (oldSize) {
        old = Pattern(*oldSize, 'a');
        ASSERT_TRUE(WriteFileBytes(path.string(), {*old})) << context;
    }
    const std::string wanted = Pattern(newSize, 'A');
    if (SaveDocumentBytes(path.string(), wanted)) {
        ++outcome.saved;
        EXPECT_EQ(Content(path), wanted) << context << ": reported saved but not whole";
    } else {
        ++outcome.failed;
        EXPECT_EQ(Content(path), old) << context << ": the old file did not survive";
    }
    EXPECT_EQ(FolderEntries(folder).size(), oldSize || Content(path) ? 1u : 0u)
        << context << ": a temporary file was left";
    fs::remove(path);
}

// Writes through the seam as a disk with a fixed capacity would: short counts while room
// runs out, then ENOSPC.
class InjectedDisk {
public:
    InjectedDisk(std::size_t room, std::size_t chunk) {
        s_room = room;
        s_chunk = chunk;
        SetWriteCallForTesting(&Write);
    }
    ~InjectedDisk() { SetWriteCallForTesting(nullptr); }
    InjectedDisk(const InjectedDisk&) = delete;
    InjectedDisk& operator=(const InjectedDisk&) = delete;

private:
    static long Write(int descriptor, const void* data, std::size_t count) {
        if (s_room == 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t now = std::min({count, s_chunk, s_room});
        const long written = static_cast<long>(::write(descriptor, data, now));
        if (written > 0) {
            s_room -= static_cast<std::size_t>(written);
        }
        return written;
    }

    static inline std::size_t s_room = 0;
    static inline std::size_t s_chunk = 0;
};

TEST(FullDiskSave, InjectedShortWritesNeverLeaveACutFile) {
    const fs::path folder =
        fs::temp_directory_path() / ("velmor-injected-" + std::to_string(getpid()));
    fs::create_directories(folder);
    GridOutcome outcome;
    for (const std::size_t capacity : {std::size_t{32768}, std::size_t{65536}}) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{4093}, std::size_t{1} << 20}) {
            for (const auto& oldSize : kOldSizes) {
                for (const std::size_t newSize : kNewSizes) {
                    if (chunk == 1 && newSize > 4096) {
                        continue;  // a byte at a time shows the same with less waiting
                    }
                    // The old file is written before the disk fills.
                    std::optional<std::string> old;
                    const fs::path path = folder / "doc.txt";
                    if (oldSize) {
                        ASSERT_TRUE(WriteFileBytes(path.string(), {Pattern(*oldSize, 'a')}));
                    }
                    const std::size_t used = oldSize.value_or(0);
                    const std::size_t room = capacity > used ? capacity - used : 0;
                    InjectedDisk disk(room, chunk);
                    const std::string wanted = Pattern(newSize, 'A');
                    const bool saved = SaveDocumentBytes(path.string(), wanted);
                    const std::string context = "capacity " + std::to_string(capacity) +
                                                ", chunk " + std::to_string(chunk) + ", old " +
                                                (oldSize ? std::to_string(*oldSize) : "none") +
                                                ", new " + std::to_string(newSize);
                    EXPECT_EQ(saved, newSize <= room) << context;
                    if (saved) {
                        ++outcome.saved;
                        EXPECT_EQ(Content(path), wanted) << context;
                    } else {
                        ++outcome.failed;
                        EXPECT_EQ(Content(path),
                                  oldSize ? std::optional(Pattern(*oldSize, 'a')) : std::nullopt)
                            << context;
                    }
                    EXPECT_LE(FolderEntries(folder).size(), 1u) << context;
                    fs::remove(path);
                }
            }
        }
    }
    EXPECT_GT(outcome.saved, 0);
    EXPECT_GT(outcome.failed, 0);
    fs::remove_all(folder);
}

// Large saves go past the page cache through an aligned buffer: parts of every size, a
// buffer's worth and one byte more, an unaligned tail, and short counts (unaligned ones end
// the direct writes) still give the whole file or a failure with the old file kept.
TEST(FullDiskSave, LargeSavesAreWholeOrLeaveTheOldFile) {
    const fs::path folder =
        fs::temp_directory_path() / ("velmor-direct-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path path = folder / "doc.txt";
    const std::size_t mebibyte = std::size_t{1} << 20;
    const std::string big = Pattern(32 * mebibyte + 3 * 4096, 'A');
    const std::vector<std::vector<std::size_t>> layouts = {
        {32 * mebibyte},
        {1, 8 * mebibyte, 4095, 8 * mebibyte + 1, 16 * mebibyte, 4097},
        {3, 7, 4096, 24 * mebibyte, 8 * mebibyte + 1},
    };
    struct Disk {
        std::size_t room;
        std::size_t chunk;
    };
    for (const std::vector<std::size_t>& layout : layouts) {
        std::vector<std::string_view> parts;
        std::size_t at = 0;
        for (const std::size_t size : layout) {
            parts.push_back(std::string_view(big).substr(at, size));
            at += size;
        }
        const std::string wanted = big.substr(0, at);
        for (const Disk disk : {Disk{0, 0}, Disk{at, 4093}, Disk{at, mebibyte},
                                Disk{at - 1, mebibyte}, Disk{at / 2, 4093}}) {
            ASSERT_TRUE(WriteFileBytes(path.string(), {"old"}));
            std::optional<InjectedDisk> injected;
            if (disk.chunk != 0) {
                injected.emplace(disk.room, disk.chunk);
            }
            const bool saved = SaveDocumentBytes(path.string(), parts);
            injected.reset();
            const std::string context = "size " + std::to_string(at) + ", room " +
                                        std::to_string(disk.room) + ", chunk " +
                                        std::to_string(disk.chunk);
            EXPECT_EQ(saved, disk.chunk == 0 || disk.room >= at) << context;
            EXPECT_EQ(Content(path), saved ? wanted : std::string("old")) << context;
            EXPECT_EQ(FolderEntries(folder).size(), 1u) << context;
        }
    }
    fs::remove_all(folder);
}

TEST(FullDiskSave, WriteFileBytesReportsAShortWrite) {
    const fs::path path = fs::temp_directory_path() / ("velmor-short-" + std::to_string(getpid()));
    {
        InjectedDisk disk(1000, 300);
        EXPECT_FALSE(WriteFileBytes(path.string(), {Pattern(600, 'a'), Pattern(600, 'b')}));
    }
    {
        InjectedDisk disk(1200, 7);
        EXPECT_TRUE(WriteFileBytes(path.string(), {Pattern(600, 'a'), Pattern(600, 'b')}));
    }
    EXPECT_EQ(Content(path), Pattern(600, 'a') + Pattern(600, 'b'));
    fs::remove(path);
}

// One file edited by the head/tail or the encoding tab, with or without a backup, on a disk
// with the given room; the old backup holds other content, so that a cut or lost one shows.
struct BatchCase {
    BatchTab tab;
    std::size_t size;
    bool backup;
};

std::string GbkContent(std::size_t size) {
    std::string bytes;
    while (bytes.size() + 3 <= size) {
        bytes +=
            "\xD6\xD0"
            "a";
    }
    return bytes;
}

// Runs the tab on folder/f.txt and checks that the run either did everything it reports or
// left the file and its old backup as they were; true when it reported success.
bool CheckBatchEdit(const fs::path& folder, const BatchCase& row, const std::string& context) {
    const fs::path file = folder / "f.txt";
    const fs::path backup = folder / "f.txt.bak";
    const std::string original = GbkContent(row.size);
    const std::string oldBackup = Pattern(9000, 'k');
    MemoryEditor editor;
    Services services;
    LocalFileSystem files;
    services.files = &files;
    CommandContext commandContext{editor, services};
    DialogSession session(BatchWindowDefinition(row.tab), commandContext);
    session.AppendListItem(FileListOf(row.tab).list, file.string());
    std::string edited;
    if (row.tab == BatchTab::HeadTail) {
        session.SetChecked("选择框_头", true);
        session.SetChecked("选择框_尾", true);
        session.SetEditText("编辑框_关键字", "##");
        session.SetChecked("选择框_备份", row.backup);
        session.Press("按钮_执行");
        edited = "##" + original + "##";
    } else {
        session.SetChecked("选择框_备份3", row.backup);
        session.Press("按钮_转换");
        edited = GbkToUtf8(original);
    }
    const bool failed =
        !editor.Messages().empty() && editor.Messages().back().kind == MessageKind::Error &&
        editor.Messages().back().text.find(file.string() + "：") != std::string::npos;
    if (failed) {
        EXPECT_EQ(Content(file), original) << context << ": a failed run changed the file";
        // A whole new backup may stand when only the edit failed; a cut one never.
        const std::optional<std::string> now = Content(backup);
        EXPECT_TRUE(now == oldBackup || (row.backup && now == original))
            << context << ": the backup is " << (now ? std::to_string(now->size()) : "gone")
            << " bytes";
    } else {
        EXPECT_EQ(Content(file), edited) << context << ": reported done but not edited whole";
        EXPECT_EQ(Content(backup), row.backup ? original : oldBackup) << context;
    }
    return !failed;
}

void PutBatchFiles(const fs::path& folder, const BatchCase& row) {
    ASSERT_TRUE(WriteFileBytes((folder / "f.txt").string(), {GbkContent(row.size)}));
    ASSERT_TRUE(WriteFileBytes((folder / "f.txt.bak").string(), {Pattern(9000, 'k')}));
}

std::vector<BatchCase> BatchCases() {
    std::vector<BatchCase> rows;
    for (const BatchTab tab : {BatchTab::HeadTail, BatchTab::Encoding}) {
        for (const std::size_t size : {std::size_t{9000}, std::size_t{40000}, std::size_t{90000}}) {
            for (const bool backup : {false, true}) {
                rows.push_back({tab, size, backup});
            }
        }
    }
    return rows;
}

const std::vector<std::size_t> kFreeRoom = {0, 4096, 16384, 65536, 131072, 262144};

std::string CaseName(const BatchCase& row, std::size_t room) {
    return std::string(row.tab == BatchTab::HeadTail ? "head/tail" : "encoding") + ", size " +
           std::to_string(row.size) + ", backup " + (row.backup ? "on" : "off") + ", room " +
           std::to_string(room);
}

// The room runs out through the write seam, or as a file size limit, which stops every
// writer of the process whichever call it writes through.
TEST(FullDiskBatch, InjectedRoomNeverCutsABackupOrAFile) {
    const fs::path folder =
        fs::temp_directory_path() / ("velmor-batch-injected-" + std::to_string(getpid()));
    fs::create_directories(folder);
    GridOutcome outcome;
    for (const BatchCase& row : BatchCases()) {
        for (const std::size_t room : kFreeRoom) {
            for (const bool sizeLimit : {false, true}) {
                PutBatchFiles(folder, row);
                const std::string name =
                    CaseName(row, room) + (sizeLimit ? ", size limit" : ", seam");
                bool done = false;
                {
                    std::optional<InjectedDisk> disk;
                    std::optional<test::FileSizeLimit> limit;
                    if (sizeLimit) {
                        limit.emplace(room);
                    } else {
                        disk.emplace(room, 4093);
                    }
                    done = CheckBatchEdit(folder, row, name);
                }
                ++(done ? outcome.saved : outcome.failed);
                EXPECT_EQ(FolderEntries(folder).size(), 2u) << name;
                fs::remove_all(folder);
                fs::create_directories(folder);
            }
        }
    }
    EXPECT_GT(outcome.saved, 0);
    EXPECT_GT(outcome.failed, 0);
    fs::remove_all(folder);
}

// A real full disk: a 64 KiB tmpfs. Mounting needs root (or a mount namespace).
class SmallTmpfs : public ::testing::Test {
protected:
    void SetUp() override { Mount("size=64k"); }
    void Mount(const char* size) {
        m_folder = fs::temp_directory_path() / ("velmor-tmpfs-" + std::to_string(getpid()));
        fs::create_directories(m_folder);
        if (::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size) != 0) {
            const std::string reason = std::strerror(errno);
            fs::remove(m_folder);
            GTEST_SKIP() << "cannot mount a tmpfs here (" << reason
                         << "); the injected-write grid covers the same faults";
        }
        m_mounted = true;
    }
    void TearDown() override {
        if (m_mounted) {
            ::umount(m_folder.c_str());
            fs::remove(m_folder);
        }
    }

    fs::path m_folder;
    bool m_mounted = false;
};

TEST_F(SmallTmpfs, FullDiskGrid) {
    GridOutcome outcome;
    for (const auto& oldSize : kOldSizes) {
        for (const std::size_t newSize : kNewSizes) {
            CheckOneSave(m_folder, oldSize, newSize, outcome);
        }
    }
    EXPECT_GT(outcome.saved, 0);
    EXPECT_GT(outcome.failed, 0);
}

// A larger tmpfs, filled up to the room each case leaves.
class BatchTmpfs : public SmallTmpfs {
protected:
    void SetUp() override { Mount("size=512k"); }

    std::size_t Room() const {
        struct statvfs disk {};
        ::statvfs(m_folder.c_str(), &disk);
        return static_cast<std::size_t>(disk.f_bavail) * disk.f_frsize;
    }
};

TEST_F(BatchTmpfs, FullDiskNeverCutsABackupOrAFile) {
    GridOutcome outcome;
    for (const BatchCase& row : BatchCases()) {
        for (const std::size_t room : kFreeRoom) {
            PutBatchFiles(m_folder, row);
            const fs::path filler = m_folder / "filler";
            if (const std::size_t free = Room(); free > room) {
                ASSERT_TRUE(WriteFileBytes(filler.string(), {std::string(free - room, 'f')}));
            }
            const bool done = CheckBatchEdit(m_folder, row, CaseName(row, room));
            ++(done ? outcome.saved : outcome.failed);
            for (const std::string& name : FolderEntries(m_folder)) {
                EXPECT_TRUE(name == "f.txt" || name == "f.txt.bak" || name == "filler")
                    << CaseName(row, room) << ": left " << name;
                fs::remove(m_folder / name);
            }
        }
    }
    EXPECT_GT(outcome.saved, 0);
    EXPECT_GT(outcome.failed, 0);
}

}  // namespace
}  // namespace velmor
