#include "mbm_record_walk.h"

#include <algorithm>

namespace bmconv {

namespace {

constexpr size_t kLanes = 4;
// Up to 16 MB a lane's sums cannot overflow: at most 2^24 bytes, 2^31 values.
constexpr size_t kLongestWalk = size_t(1) << 24;

// Per control byte and number of stored bytes a value has (1 to 4): the bytes its record
// takes in the low 32 bits, the values it claims in the high ones. A lane adds them up in
// one word, so a record costs two loads and an addition.
struct RecordTables {
    uint64_t step[5][256];
    RecordTables() {
        for (unsigned c = 0; c < 256; ++c) {
            const bool run = c < 0x80;
            const uint64_t count = run ? c + 1 : 256 - c;
            for (unsigned stored = 1; stored <= 4; ++stored)
                step[stored][c] = (1 + (run ? stored : count * stored)) | count << 32;
        }
    }
};

const RecordTables& tables() {
    static const RecordTables t;
    return t;
}

struct Lane {
    const uint8_t* data = nullptr;
    uint64_t walked = 0; // bytes walked (low 32 bits) and values claimed (high 32 bits)
    uint32_t length = 0;
    const uint64_t* step = nullptr;
    uint32_t pos() const { return uint32_t(walked); }
};

inline void advance(Lane& lane) {
    lane.walked += lane.step[lane.data[lane.pos()]];
}

size_t storedBytesPerValue(uint32_t compression) {
    switch (compression) {
    case 1:
        return 1;
    case 3:
        return 2;
    case 4:
    case 5:
        return 3;
    default:
        return 4;
    }
}

size_t valueBytes(uint32_t compression) {
    switch (compression) {
    case 3:
        return 2;
    case 4:
        return 3;
    case 5:
    case 6:
        return 4;
    default:
        return 1;
    }
}

// 12-bit records are one 16-bit word each: no chain from record to record.
bool twelveBitFits(const StoredData& item) {
    if (item.length % 2 != 0) return false;
    uint64_t values = 0;
    for (size_t i = 1; i < item.length; i += 2)
        values += (item.data[i] >> 4) + 1u;
    return values == item.bufferSize / 2;
}

Lane laneFor(const StoredData& item, const RecordTables& t) {
    Lane lane;
    lane.data = item.data;
    lane.length = uint32_t(item.length);
    lane.step = t.step[storedBytesPerValue(item.compression)];
    return lane;
}

bool finish(Lane& lane, const StoredData& item) {
    while (lane.pos() < lane.length)
        advance(lane);
    return lane.pos() == lane.length &&
           (lane.walked >> 32) == item.bufferSize / valueBytes(item.compression);
}

// Up to kLanes items with control-byte records, walked side by side. The lanes are plain
// local variables, so they stay in registers.
bool lanesFit(const StoredData* items, size_t count) {
    const RecordTables& t = tables();
    const StoredData none;
    const StoredData& i0 = count > 0 ? items[0] : none;
    const StoredData& i1 = count > 1 ? items[1] : none;
    const StoredData& i2 = count > 2 ? items[2] : none;
    const StoredData& i3 = count > 3 ? items[3] : none;
    Lane a = laneFor(i0, t), b = laneFor(i1, t), c = laneFor(i2, t), d = laneFor(i3, t);
    while (a.pos() < a.length && b.pos() < b.length && c.pos() < c.length && d.pos() < d.length) {
        advance(a);
        advance(b);
        advance(c);
        advance(d);
    }
    const bool fa = finish(a, i0), fb = finish(b, i1), fc = finish(c, i2), fd = finish(d, i3);
    return fa && fb && fc && fd;
}

} // namespace

bool recordsFit(const StoredData* items, size_t count) {
    StoredData pending[kLanes];
    size_t waiting = 0;
    for (size_t i = 0; i < count; ++i) {
        const StoredData& item = items[i];
        if (item.compression == 0) {
            if (item.length != item.bufferSize) return false;
        } else if (item.compression == 2) {
            if (!twelveBitFits(item)) return false;
        } else if (item.compression <= 6 && item.length <= kLongestWalk) {
            pending[waiting++] = item;
            if (waiting == kLanes) {
                if (!lanesFit(pending, waiting)) return false;
                waiting = 0;
            }
        } else {
            return false;
        }
    }
    return lanesFit(pending, waiting);
}

} // namespace bmconv
