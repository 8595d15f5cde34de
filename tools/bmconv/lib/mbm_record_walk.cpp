#include "mbm_record_walk.h"

#include <algorithm>

namespace bmconv {

namespace {

constexpr size_t kLanes = 4;

// Per control byte: the values its record claims, and the bytes the record takes for each
// number of stored bytes a value has (1 to 4).
struct RecordTables {
    uint16_t count[256];
    uint16_t step[5][256];
    RecordTables() {
        for (unsigned c = 0; c < 256; ++c) {
            const bool run = c < 0x80;
            count[c] = uint16_t(run ? c + 1 : 256 - c);
            for (unsigned stored = 1; stored <= 4; ++stored)
                step[stored][c] = uint16_t(1 + (run ? stored : count[c] * stored));
        }
    }
};

const RecordTables& tables() {
    static const RecordTables t;
    return t;
}

struct Lane {
    const uint8_t* data = nullptr;
    size_t pos = 0, length = 0;
    uint64_t values = 0;
    const uint16_t* step = nullptr;
};

inline void advance(Lane& lane, const uint16_t* count) {
    const uint8_t control = lane.data[lane.pos];
    lane.values += count[control];
    lane.pos += lane.step[control];
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
    lane.length = item.length;
    lane.step = t.step[storedBytesPerValue(item.compression)];
    return lane;
}

bool finish(Lane& lane, const StoredData& item, const uint16_t* count) {
    while (lane.pos < lane.length)
        advance(lane, count);
    return lane.pos == lane.length && lane.values == item.bufferSize / valueBytes(item.compression);
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
    while (a.pos < a.length && b.pos < b.length && c.pos < c.length && d.pos < d.length) {
        advance(a, t.count);
        advance(b, t.count);
        advance(c, t.count);
        advance(d, t.count);
    }
    const bool fa = finish(a, i0, t.count), fb = finish(b, i1, t.count);
    const bool fc = finish(c, i2, t.count), fd = finish(d, i3, t.count);
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
        } else if (item.compression <= 6) {
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
