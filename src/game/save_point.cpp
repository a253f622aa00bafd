// The save-point file: the view offset, the velocities and every element record, each value a
// rounded 32-bit little-endian integer, then the mark of the level it belongs to.
#include "game/save_point.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <utility>

#include "game/simulation.h"
#include "runtime/files.h"

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

std::uint32_t Bits(std::int32_t value) { return static_cast<std::uint32_t>(value); }

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
    identity.stateHash = std::uint64_t{GetInt(bytes.data() + 8)} |
                         (std::uint64_t{GetInt(bytes.data() + 12)} << 32);
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

}  // namespace

LevelIdentity IdentifyLevel(const level::Level& level) {
    StateHash hash;
    hash.AddPair(level.levelWidth, level.levelHeight);
    hash.Add(level.elements.size());
    for (const level::Element& e : level.elements) {
        // The values RestoreEditState leaves, as the file stores them. A torch flickers in play
        // without being edited: both its frames count as the steady torch.
        float kind = level::EditableKind(e.kind);
        if (kind == kTorchFlicker) {
            kind = kTorch;
        }
        hash.AddPair(RoundToInt(e.background), RoundToInt(e.homeColumn));
        hash.AddPair(RoundToInt(e.homeRow), RoundToInt(kind));
        hash.AddPair(RoundToInt(e.link), RoundToInt(e.length));
        hash.AddPair(RoundToInt(e.speedX), RoundToInt(e.speedY));
        hash.AddPair(RoundToInt(e.pause1), RoundToInt(e.pause2));
    }
    return LevelIdentity{hash.Value(), MarkName(level.levelFileName)};
}

void EncodeSavePoint(const level::Level& level, const Player& player,
                     std::vector<std::uint8_t>& bytes) {
    const LevelIdentity identity = IdentifyLevel(level);
    const std::size_t records = level.elements.size();
    const std::size_t markStart =
        static_cast<std::size_t>(sp::kRecordsOffset) + records * sp::kRecordBytes;
    bytes.resize(markStart + static_cast<std::size_t>(sp::kMarkFixedBytes) +
                 identity.fileName.size());

    std::uint8_t* at = bytes.data();
    for (const float value : {level.viewX, level.viewY, player.velocityX, player.velocityY}) {
        PutInt(at, Bits(RoundToInt(value)));
        at += sp::kValueBytes;
    }
    PutInt(at, static_cast<std::uint32_t>(records));
    at += sp::kValueBytes;
    for (const level::Element& element : level.elements) {
        // The fields in record order, as the Element holds them.
        const auto fields = std::bit_cast<std::array<float, level::kElementFieldCount>>(element);
        for (const float value : fields) {
            PutInt(at, Bits(RoundToInt(value)));
            at += sp::kValueBytes;
        }
    }

    std::memcpy(at, sp::kMarkTag, sizeof sp::kMarkTag);
    PutInt(at + 8, static_cast<std::uint32_t>(identity.stateHash & 0xFFFFFFFFu));
    PutInt(at + 12, static_cast<std::uint32_t>(identity.stateHash >> 32));
    PutInt(at + 16, static_cast<std::uint32_t>(identity.fileName.size()));
    std::memcpy(at + sp::kMarkFixedBytes, identity.fileName.data(), identity.fileName.size());
}

std::int64_t LargestSavePoint(const level::Level& level) {
    return sp::kRecordsOffset +
           sp::kRecordBytes * static_cast<std::int64_t>(level.elements.size()) +
           sp::kMarkFixedBytes + sp::kMarkNameBytes;
}

SavePointUse ApplySavePoint(std::span<const std::uint8_t> bytes, level::Level& level,
                            Player& player) {
    // Everything is checked before anything changes.
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (size < sp::kRecordsOffset) {
        return SavePointUse::Damaged;
    }
    const auto count = static_cast<std::int32_t>(GetInt(bytes.data() + sp::kCountOffset));
    const std::int64_t recordsEnd = sp::kRecordsOffset + sp::kRecordBytes * std::int64_t{count};
    if (count < 0 || size < recordsEnd) {
        return SavePointUse::Damaged;
    }
    LevelIdentity mark;
    if (ReadMark(bytes.subspan(static_cast<std::size_t>(recordsEnd)), mark)) {
        if (mark != IdentifyLevel(level)) {
            return SavePointUse::OtherLevel;
        }
    } else if (count != CellCount(level)) {
        return SavePointUse::OtherLevel;
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
        level::AddCell(restored, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9],
                       v[10], v[11], v[12], v[13], v[14]);
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
    // The file is read in one go, but never further than a save point of this level can reach:
    // beyond that, only its records can matter.
    std::int64_t wanted = files.Size();
    if (wanted > LargestSavePoint(level)) {
        wanted = sp::kRecordsOffset +
                 sp::kRecordBytes * static_cast<std::int64_t>(level.elements.size());
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(wanted, 0)));
    bytes.resize(static_cast<std::size_t>(
        files.ReadBytes(0, bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    files.Close(kSavePointFileNumber);
    return ApplySavePoint(bytes, level, player) == SavePointUse::Restored;
}

}  // namespace tessaron::game
