// signatures.conf: parse, merge over the built-in table and look a few names up.
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "platform/desktop/signature_table.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SignatureTable user = SignatureTable::Parse(text);
  for (const SignatureEntry& entry : user.Entries()) FUZZ_CHECK(!entry.signature.empty());
  static const SignatureTable built_in = SignatureTable::Parse(SignatureTable::BuiltInText());
  SignatureTable table = built_in;
  table.Merge(user);
  FUZZ_CHECK(table.Entries().size() >= built_in.Entries().size());
  FUZZ_CHECK(!table.SignatureForWindowClass("Navigator", "Firefox").empty());
  table.SignatureForMprisBusName("org.mpris.MediaPlayer2.vlc.instance42");
  for (const SignatureEntry& entry : user.Entries()) FUZZ_CHECK(table.Find(entry.signature));
  return 0;
}
