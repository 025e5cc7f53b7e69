#pragma once
// The signature table: which Linux applications stand for an application signature. One line
// per signature, ';' or '#' starts a comment line:
//   application/x-vnd.Be-TRAK  wmclass=pcmanfm,nautilus  desktop=pcmanfm.desktop  mpris=...
// wmclass: WM_CLASS names (instance or class, any case); mpris: MPRIS bus name parts
// (org.mpris.MediaPlayer2.<name>[.<instance>]); desktop: desktop-file ids for launching.
// The shipped table is built in; a file "signatures.conf" in the settings folder replaces the
// lines of the signatures it names and adds new ones.
#include <string>
#include <string_view>
#include <vector>

namespace koru {

struct SignatureEntry {
  std::string signature;
  std::vector<std::string> wm_classes;
  std::vector<std::string> mpris_names;
  std::vector<std::string> desktop_ids;
};

class SignatureTable {
 public:
  SignatureTable() = default;
  // Lines that are not understood are skipped with a trace line.
  static SignatureTable Parse(std::string_view text);
  // The built-in table merged with the settings folder's file, if there is one.
  static SignatureTable Load();
  // The built-in table alone.
  static std::string_view BuiltInText();

  // Entries of `other` replace entries of the same signature; new ones are appended.
  void Merge(const SignatureTable& other);
  // One entry: replaces the entry of the same signature, else appended.
  void Add(SignatureEntry entry);

  const SignatureEntry* Find(std::string_view signature) const;
  // The signature for a window's WM_CLASS, or "application/x-vnd.linux-" + class in lower case.
  std::string SignatureForWindowClass(std::string_view instance, std::string_view klass) const;
  // The signature of an MPRIS bus name, or empty when no entry names it.
  std::string SignatureForMprisBusName(std::string_view bus_name) const;
  // True when `bus_name` is an instance of `entry`'s players.
  static bool BusNameMatches(const SignatureEntry& entry, std::string_view bus_name);

  const std::vector<SignatureEntry>& Entries() const { return entries_; }

 private:
  std::vector<SignatureEntry> entries_;
};

}  // namespace koru
