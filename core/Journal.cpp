#include "core/Journal.h"

#include <utility>

namespace vortiquo {

std::size_t textBytes(const FieldTexts& texts)
{
    std::size_t bytes = 0;
    for (const auto& text : texts)
        if (text)
            bytes += text->size();
    return bytes;
}

void Journal::restart(JournalStart start)
{
    start_ = std::move(start);
    entries_.clear();
    textBytes_ = textBytes(start_.texts);
    complete_ = textBytes_ <= MaxTextBytes;
}

void Journal::restart(JournalStart start, std::vector<JournalEntry> entries)
{
    restart(std::move(start));
    for (const JournalEntry& entry : entries)
        textBytes_ += entry.text.size() + textBytes(entry.texts);
    entries_ = std::move(entries);
    // A journal read back may hold MaxEntries, its halt included; it records
    // nothing more.
    complete_ = entries_.size() <= MaxEntries && textBytes_ <= MaxTextBytes;
}

bool Journal::makeRoom(std::size_t bytes)
{
    if (complete_ && entries_.size() < MaxRecorded && textBytes_ + bytes <= MaxTextBytes) {
        textBytes_ += bytes;
        return true;
    }
    complete_ = false;
    entries_.clear();  // a journal that cannot redraw the picture is kept no longer
    entries_.shrink_to_fit();
    return false;
}

void Journal::recordField(std::int64_t stamp, Field field, std::string_view text, bool overrides)
{
    if (!complete_)
        return;
    if (overrides && !entries_.empty()) {
        JournalEntry& last = entries_.back();
        if (last.kind == JournalEntry::Kind::field && last.field == field && last.stamp == stamp) {
            textBytes_ -= last.text.size();
            if (makeRoom(text.size()))
                last.text.assign(text);
            return;
        }
    }
    if (!makeRoom(text.size()))
        return;
    JournalEntry entry;
    entry.stamp = stamp;
    entry.kind = JournalEntry::Kind::field;
    entry.field = field;
    entry.text.assign(text);
    entries_.push_back(std::move(entry));
}

void Journal::recordScheme(std::int64_t stamp, std::int16_t scheme)
{
    if (!complete_)
        return;
    // A scheme only sets itself, so a later choice at the same stamp is all that counts.
    if (!entries_.empty() && entries_.back().kind == JournalEntry::Kind::scheme && entries_.back().stamp == stamp) {
        entries_.back().scheme = scheme;
        return;
    }
    if (!makeRoom(0))
        return;
    JournalEntry entry;
    entry.stamp = stamp;
    entry.kind = JournalEntry::Kind::scheme;
    entry.scheme = scheme;
    entries_.push_back(std::move(entry));
}

void Journal::recordVia(std::int64_t stamp, const FieldTexts& texts, std::int16_t scheme)
{
    if (!complete_ || !makeRoom(textBytes(texts)))
        return;
    JournalEntry entry;
    entry.stamp = stamp;
    entry.kind = JournalEntry::Kind::via;
    entry.texts = texts;
    entry.scheme = scheme;
    entries_.push_back(std::move(entry));
}

void Journal::recordStop(std::int64_t stamp)
{
    if (!complete_)
        return;
    if (!entries_.empty() && entries_.back().kind == JournalEntry::Kind::stop && entries_.back().stamp == stamp)
        return;  // a second press before the next step changes nothing
    if (!makeRoom(0))
        return;
    JournalEntry entry;
    entry.stamp = stamp;
    entry.kind = JournalEntry::Kind::stop;
    entries_.push_back(std::move(entry));
}

std::vector<JournalEntry> Journal::entriesUntil(const RunCounter& run) const
{
    std::vector<JournalEntry> entries = entries_;
    if (run.running) {
        JournalEntry halt;
        halt.stamp = run.stamp();
        halt.kind = JournalEntry::Kind::halt;
        entries.push_back(std::move(halt));
    }
    return entries;
}

FieldTexts textsAfter(FieldTexts texts, const std::vector<JournalEntry>& entries)
{
    for (const JournalEntry& entry : entries)
        if (entry.kind == JournalEntry::Kind::field)
            texts[static_cast<std::size_t>(entry.field)] = entry.text;
    return texts;
}

}  // namespace vortiquo
