#include "mbm_record_walk.h"

#include "mbm_parse.h"

#include <algorithm>

namespace bmconv {

namespace {

constexpr size_t kLanes = 8;
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
    uint32_t pos() const { return uint32_t(walked); }
    bool open() const { return pos() < length; }
};

inline void advance(Lane& lane, const uint64_t* step) {
    lane.walked += step[lane.data[lane.pos()]];
}

// 12-bit records are one 16-bit word each: no chain from record to record.
bool twelveBitFits(const StoredData& item) {
    if (item.length % 2 != 0) return false;
    uint64_t values = 0;
    for (size_t i = 1; i < item.length; i += 2)
        values += (item.data[i] >> 4) + 1u;
    return values == item.bufferSize / 2;
}

Lane laneFor(const StoredData& item) {
    Lane lane;
    lane.data = item.data;
    lane.length = uint32_t(item.length);
    return lane;
}

bool finish(Lane& lane, const StoredData& item, const uint64_t* step) {
    while (lane.open())
        advance(lane, step);
    return lane.pos() == lane.length &&
           (lane.walked >> 32) == item.bufferSize / bufferBytesPerValue(item.compression);
}

// Up to kLanes items whose values take the same number of stored bytes, walked side by side.
// The lanes are plain local variables, so they stay in registers.
bool lanesFit(const StoredData* items, size_t count, const uint64_t* step) {
    const StoredData none;
    auto item = [&](size_t k) -> const StoredData& { return k < count ? items[k] : none; };
    Lane l0 = laneFor(item(0)), l1 = laneFor(item(1)), l2 = laneFor(item(2)), l3 = laneFor(item(3));
    Lane l4 = laneFor(item(4)), l5 = laneFor(item(5)), l6 = laneFor(item(6)), l7 = laneFor(item(7));
    while (l0.open() && l1.open() && l2.open() && l3.open() && l4.open() && l5.open() &&
           l6.open() && l7.open()) {
        advance(l0, step);
        advance(l1, step);
        advance(l2, step);
        advance(l3, step);
        advance(l4, step);
        advance(l5, step);
        advance(l6, step);
        advance(l7, step);
    }
    // The lanes still open go on side by side: finished one after the other, each record
    // would wait for the one before it.
    while (l0.open() || l1.open() || l2.open() || l3.open() || l4.open() || l5.open() ||
           l6.open() || l7.open()) {
        if (l0.open()) advance(l0, step);
        if (l1.open()) advance(l1, step);
        if (l2.open()) advance(l2, step);
        if (l3.open()) advance(l3, step);
        if (l4.open()) advance(l4, step);
        if (l5.open()) advance(l5, step);
        if (l6.open()) advance(l6, step);
        if (l7.open()) advance(l7, step);
    }
    // Every lane is finished (no short cut), so a fault in one costs no branch in the others.
    const bool f0 = finish(l0, item(0), step), f1 = finish(l1, item(1), step);
    const bool f2 = finish(l2, item(2), step), f3 = finish(l3, item(3), step);
    const bool f4 = finish(l4, item(4), step), f5 = finish(l5, item(5), step);
    const bool f6 = finish(l6, item(6), step), f7 = finish(l7, item(7), step);
    return f0 && f1 && f2 && f3 && f4 && f5 && f6 && f7;
}

} // namespace

bool recordsFit(const StoredData* items, size_t count) {
    const RecordTables& t = tables();
    // Items wait for their lanes in groups of the same stored value size.
    StoredData pending[5][kLanes];
    size_t waiting[5] = {0, 0, 0, 0, 0};
    for (size_t i = 0; i < count; ++i) {
        const StoredData& item = items[i];
        if (item.compression == 0) {
            if (item.length != item.bufferSize) return false;
        } else if (item.compression == 2) {
            if (!twelveBitFits(item)) return false;
        } else if (item.compression <= 6 && item.length <= kLongestWalk) {
            const size_t stored = storedBytesPerValue(item.compression);
            pending[stored][waiting[stored]++] = item;
            if (waiting[stored] == kLanes) {
                if (!lanesFit(pending[stored], kLanes, t.step[stored])) return false;
                waiting[stored] = 0;
            }
        } else {
            return false;
        }
    }
    for (size_t stored = 1; stored <= 4; ++stored)
        if (waiting[stored] > 0 && !lanesFit(pending[stored], waiting[stored], t.step[stored]))
            return false;
    return true;
}

} // namespace bmconv
