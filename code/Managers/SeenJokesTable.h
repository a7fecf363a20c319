// The record of which bottle jokes the player has read: joke numbers with a shown
// flag, at most 11000 entries, kept across runs in jokes.bin.
#pragma once

#include <vector>

class VArchive;

class SeenJokesTable {
 public:
  static constexpr int MaxEntries = 11000;

  struct Entry {
    int m_iJoke;
    int m_iShown;  // 0 not shown, 1 shown
  };

  int GetCount() const { return (int)m_entries.size(); }
  const Entry& GetEntry(int i) const { return m_entries[i]; }
  bool IsFull() const { return (int)m_entries.size() >= MaxEntries; }
  // The first entry of a joke number, or null.
  Entry* Find(int joke);
  const Entry* Find(int joke) const;
  // Whether the joke's entry says shown.
  bool IsShown(int joke) const;
  // False when the table is full.
  bool Append(int joke, int shown);
  void Clear() { m_entries.clear(); }

  // int32 count, then count times int32 joke number and int32 shown flag. Reading
  // trusts the count only as far as the archive holds whole entries, keeps the
  // first MaxEntries and reads past the rest; a read that fails leaves the table
  // as it was.
  void Serialize(VArchive& ar);

 private:
  std::vector<Entry> m_entries;
};
