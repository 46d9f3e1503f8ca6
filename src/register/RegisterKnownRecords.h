#pragma once

#include "CounterRecord.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

// The aircraft's records, 44 bytes each in one array, found through an open-addressed table of
// 8-byte slots: no allocation a record, and freed at once.
class KnownRecords
{
public:
    // Room for `count` records without growing.
    void reserve(size_t count)
    {
        // Doubling at least, for an add of many one-record files.
        if (count > m_records.capacity())
            m_records.reserve(std::max(count, 2 * m_records.capacity()));
        if (count * 4 > m_table.size() * 3)
            grow(std::bit_ceil(count * 4 / 3 + 1));
    }
    size_t size() const { return m_records.size(); }
    // False when the record is there already.
    bool insert(const CounterRecord &words)
    {
        if ((m_records.size() + 1) * 4 > m_table.size() * 3)
            grow(std::max<size_t>(16, m_table.size() * 2));
        const std::uint64_t hash = hashOf(words);
        const std::uint32_t tag = std::uint32_t(hash >> 32);
        const size_t mask = m_table.size() - 1;
        for (size_t at = size_t(hash) & mask;; at = (at + 1) & mask) {
            Slot &slot = m_table[at];
            if (slot.record == 0) {
                m_records.push_back(words);
                slot = {tag, std::uint32_t(m_records.size())};
                return true;
            }
            if (slot.tag == tag && m_records[slot.record - 1] == words)
                return false;
        }
    }

private:
    struct Slot
    {
        std::uint32_t tag = 0; // the hash's high half, compared before the words
        std::uint32_t record = 0; // 1 + its index in m_records; 0 marks a free slot
    };

    // FNV-1a over the words.
    static std::uint64_t hashOf(const CounterRecord &words)
    {
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (const std::uint16_t word : words)
            hash = (hash ^ word) * 0x100000001b3ull;
        return hash;
    }
    void grow(size_t room)
    {
        std::vector<Slot> table(room);
        for (const Slot &slot : m_table) {
            if (slot.record == 0)
                continue;
            size_t at = size_t(hashOf(m_records[slot.record - 1])) & (room - 1);
            while (table[at].record != 0)
                at = (at + 1) & (room - 1);
            table[at] = slot;
        }
        m_table.swap(table);
    }

    std::vector<CounterRecord> m_records;
    std::vector<Slot> m_table;
};
