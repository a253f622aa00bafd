// The save-point file: the view offset, the velocities and every element record, each value a
// rounded 32-bit little-endian integer, then the mark of the level it belongs to.
#include "game/save_point.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <utility>

#include "game/motion.h"
#include "game/simulation.h"
#include "runtime/files.h"
#include "runtime/numbers.h"

namespace tessaron::game {

namespace sp = save_point;
using runtime::RoundToInt;

namespace {

constexpr float kTorchFlicker = level::Code(level::ElementKind::TorchFlicker);
constexpr float kTorch = level::Code(level::ElementKind::Torch);

void PutInt(std::uint8_t* at, std::uint32_t value) {
    runtime::PutLittleEndianInt(at, static_cast<std::int32_t>(value));
}

std::uint32_t GetInt(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(runtime::LittleEndianInt(at));
}

std::uint32_t Bits(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

// A hash of 64-bit words in order, the same on every machine. Each step (an exclusive or, then
// a multiplication by an odd number) is one to one, so a change of any single word always
// changes the hash; the end spreads every bit over all others.
class StateHash {
  public:
    void Add(std::uint64_t word) { hash_ = (hash_ ^ word) * 0x9E3779B97F4A7C15u; }
    void AddPair(std::int32_t high, std::int32_t low) {
        Add((std::uint64_t{Bits(high)} << 32) | Bits(low));
    }
    std::uint64_t Value() const {
        std::uint64_t value = hash_;
        value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9u;
        value = (value ^ (value >> 27)) * 0x94D049BB133111EBu;
        return value ^ (value >> 31);
    }

  private:
    std::uint64_t hash_ = 0x5461737361726F6Eu;
};

// The mark's file name: the level file's name without its folder, cut to what a mark holds.
std::string MarkName(const std::string& levelFileName) {
    std::string name = std::filesystem::path(levelFileName).filename().string();
    if (static_cast<std::int64_t>(name.size()) > sp::kMarkNameBytes) {
        name.resize(static_cast<std::size_t>(sp::kMarkNameBytes));
    }
    return name;
}

// The identity a mark in these bytes names; false when the bytes are not a mark.
bool ReadMark(std::span<const std::uint8_t> bytes, LevelIdentity& identity) {
    if (static_cast<std::int64_t>(bytes.size()) < sp::kMarkFixedBytes ||
        std::memcmp(bytes.data(), sp::kMarkTag, sizeof sp::kMarkTag) != 0) {
        return false;
    }
    const std::uint32_t nameBytes = GetInt(bytes.data() + 16);
    if (nameBytes > sp::kMarkNameBytes ||
        static_cast<std::int64_t>(bytes.size()) != sp::kMarkFixedBytes + nameBytes) {
        return false;
    }
    identity.stateHash =
        std::uint64_t{GetInt(bytes.data() + 8)} | (std::uint64_t{GetInt(bytes.data() + 12)} << 32);
    identity.fileName.assign(reinterpret_cast<const char*>(bytes.data() + sp::kMarkFixedBytes),
                             nameBytes);
    return true;
}

std::int64_t CellCount(const level::Level& level) {
    if (level.levelWidth <= 0 || level.levelHeight <= 0) {
        return 0;
    }
    return std::int64_t{level.levelWidth} * level.levelHeight;
}

// A record as the save point stores it: each field rounded, in record order.
using StoredRecord = std::array<std::int32_t, level::kElementFieldCount>;

StoredRecord Stored(const level::Element& element) {
    const auto fields = std::bit_cast<std::array<float, level::kElementFieldCount>>(element);
    StoredRecord record;
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = RoundToInt(fields[i]);
    }
    return record;
}

// Adds what of a stored record belongs to the level's editable state: the values
// RestoreEditState leaves (the home cell is the position). A torch flickers in play without
// being edited: both its frames count as the steady torch.
void AddEditable(StateHash& hash, const StoredRecord& r) {
    float kind = level::EditableKind(static_cast<float>(r[3]));
    if (kind == kTorchFlicker) {
        kind = kTorch;
    }
    hash.AddPair(r[0], r[1]);  // background, home column
    hash.AddPair(r[2], RoundToInt(kind));
    hash.AddPair(r[7], r[9]);    // link, length
    hash.AddPair(r[10], r[11]);  // speeds
    hash.AddPair(r[13], r[14]);  // pauses
}

// Whether a stored record can be the level's element at the same place in the list, as play
// leaves it: the same home cell (as stored), and a position no farther from it than its
// displacement reaches. A step may overshoot the length by up to one step; the margin (twice that,
// and two cells) covers what single-precision sums lose on long journeys, the rounding of the
// stored values and a switch's press.
bool FitsElement(const std::int32_t* v, const level::Element& element) {
    if (v[1] != RoundToInt(element.homeColumn) || v[2] != RoundToInt(element.homeRow)) {
        return false;
    }
    const double step =
        (std::fabs(static_cast<double>(v[10])) + std::fabs(static_cast<double>(v[11]))) /
        kSpeedUnitsPerCell;
    const double reach = 2.0 * (std::fabs(static_cast<double>(v[9])) + step) + 2.0;
    return std::fabs(static_cast<double>(v[4]) - v[1]) <= reach &&
           std::fabs(static_cast<double>(v[5]) - v[2]) <= reach;
}

StateHash StartHash(const level::Level& level) {
    StateHash hash;
    hash.AddPair(level.levelWidth, level.levelHeight);
    hash.Add(level.elements.size());
    return hash;
}

}  // namespace

float RestoredValue(float value) {
    return static_cast<float>(RoundToInt(value));
}

level::Element RestoredRecord(const level::Element& element) {
    const StoredRecord record = Stored(element);
    std::array<float, level::kElementFieldCount> fields;
    for (std::size_t i = 0; i < record.size(); ++i) {
        fields[i] = static_cast<float>(record[i]);
    }
    return std::bit_cast<level::Element>(fields);
}

LevelIdentity IdentifyLevel(const level::Level& level) {
    StateHash hash = StartHash(level);
    for (const level::Element& element : level.elements) {
        AddEditable(hash, Stored(element));
    }
    return LevelIdentity{hash.Value(), MarkName(level.levelFileName)};
}

void EncodeSavePoint(const level::Level& level, const Player& player,
                     std::vector<std::uint8_t>& bytes) {
    const std::string name = MarkName(level.levelFileName);
    const std::size_t records = level.elements.size();
    const std::size_t markStart =
        static_cast<std::size_t>(sp::kRecordsOffset) + records * sp::kRecordBytes;
    bytes.resize(markStart + static_cast<std::size_t>(sp::kMarkFixedBytes) + name.size());

    std::uint8_t* at = bytes.data();
    for (const float value : {level.viewX, level.viewY, player.velocityX, player.velocityY}) {
        PutInt(at, Bits(RoundToInt(value)));
        at += sp::kValueBytes;
    }
    PutInt(at, static_cast<std::uint32_t>(records));
    at += sp::kValueBytes;
    // The records and the level's hash in one walk: the hash is of the values stored.
    StateHash hash = StartHash(level);
    for (const level::Element& element : level.elements) {
        const StoredRecord record = Stored(element);
        for (const std::int32_t value : record) {
            PutInt(at, Bits(value));
            at += sp::kValueBytes;
        }
        AddEditable(hash, record);
    }

    const std::uint64_t stateHash = hash.Value();
    std::memcpy(at, sp::kMarkTag, sizeof sp::kMarkTag);
    PutInt(at + 8, static_cast<std::uint32_t>(stateHash & 0xFFFFFFFFu));
    PutInt(at + 12, static_cast<std::uint32_t>(stateHash >> 32));
    PutInt(at + 16, static_cast<std::uint32_t>(name.size()));
    std::memcpy(at + sp::kMarkFixedBytes, name.data(), name.size());
}

std::int64_t LargestSavePoint(const level::Level& level) {
    return sp::kRecordsOffset +
           sp::kRecordBytes * static_cast<std::int64_t>(level.elements.size()) +
           sp::kMarkFixedBytes + sp::kMarkNameBytes;
}

SavePointUse ApplySavePoint(std::span<const std::uint8_t> bytes, level::Level& level,
                            Player& player) {
    // The whole file is checked before anything changes.
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (size < sp::kRecordsOffset) {
        return SavePointUse::Damaged;
    }
    const auto count = static_cast<std::int32_t>(GetInt(bytes.data() + sp::kCountOffset));
    const std::int64_t recordsEnd = sp::kRecordsOffset + sp::kRecordBytes * std::int64_t{count};
    if (count < 0 || size < recordsEnd) {
        return SavePointUse::Damaged;
    }
    if (size == recordsEnd) {
        // Only a file that ends exactly after its records is one of the older kind, which
        // belongs to any level of as many cells.
        if (count != CellCount(level)) {
            return SavePointUse::OtherLevel;
        }
    } else {
        // Anything else after the records must be a whole mark, of this level.
        LevelIdentity mark;
        if (!ReadMark(bytes.subspan(static_cast<std::size_t>(recordsEnd)), mark)) {
            return SavePointUse::Damaged;
        }
        if (mark != IdentifyLevel(level)) {
            return SavePointUse::OtherLevel;
        }
    }
    // One record per element of the level, each that element as play can have moved it.
    if (static_cast<std::size_t>(count) != level.elements.size()) {
        return SavePointUse::Damaged;
    }
    level::ElementList restored;
    restored.reserve(static_cast<std::size_t>(count));
    const std::uint8_t* at = bytes.data() + sp::kRecordsOffset;
    std::int32_t v[level::kElementFieldCount];
    for (std::int32_t i = 0; i < count; ++i) {
        for (std::int32_t& value : v) {
            value = static_cast<std::int32_t>(GetInt(at));
            at += sp::kValueBytes;
        }
        if (!FitsElement(v, level.elements[static_cast<std::size_t>(i)])) {
            return SavePointUse::Damaged;
        }
        level::AddCell(restored, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10],
                       v[11], v[12], v[13], v[14]);
    }
    const std::uint8_t* header = bytes.data();
    level.viewX = static_cast<float>(static_cast<std::int32_t>(GetInt(header)));
    level.viewY = static_cast<float>(static_cast<std::int32_t>(GetInt(header + 4)));
    player.velocityX = static_cast<float>(static_cast<std::int32_t>(GetInt(header + 8)));
    player.velocityY = static_cast<float>(static_cast<std::int32_t>(GetInt(header + 12)));
    level::ReplaceElements(level, std::move(restored));
    return SavePointUse::Restored;
}

bool StoreSavePoint(const level::Level& level, const Player& player, runtime::Files& files) {
    std::vector<std::uint8_t> bytes;
    EncodeSavePoint(level, player, bytes);
    if (!files.Create(kSavePointFileNumber, kSavePointFile)) {
        return false;
    }
    files.WriteBytes(bytes.data(), bytes.size());
    return files.Close(kSavePointFileNumber);
}

bool RestoreSavePoint(level::Level& level, Player& player, runtime::Files& files) {
    if (!files.OpenForReading(kSavePointFileNumber, kSavePointFile)) {
        return false;
    }
    // The file is read in one go. A file longer than any save point of this level can be is not
    // one: it is not read at all.
    const std::int64_t wanted = files.Size();
    if (wanted > LargestSavePoint(level)) {
        files.Close(kSavePointFileNumber);
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0)));
    bytes.resize(static_cast<std::size_t>(
        files.ReadBytes(0, bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    files.Close(kSavePointFileNumber);
    return ApplySavePoint(bytes, level, player) == SavePointUse::Restored;
}

}  // namespace tessaron::game
