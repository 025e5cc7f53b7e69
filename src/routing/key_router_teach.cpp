// Teach-in: a new remote, or a loaded one changed, key by key through the teach box.
//
// The code a key is taught with is the value the matching will later compare for this remote:
// byte2 * 1000 + byte3 for a two-byte remote, byte2 (byte2 / 10 while hysteresis is on) for a
// one-byte remote. It follows the teach remote's own mode, not the modes of loaded remotes that
// happen to share its header, so a taught key is recognised by the same key afterwards in the
// mode and hysteresis setting it was taught in.
//
// New remotes are taught with exact codes unless "Classic codes" is ticked: an exact remote takes
// its header (protocol and address) from its first key, and any key, also of another protocol,
// is taught with its own exact code. A receiver that gives no exact codes (classic timing) turns
// a remote without keys into a classic one. Either way a code already taught to one key of the
// remote is refused for another: the matching would only ever find the first.
#include <cstdio>
#include <cstdlib>

#include "platform/files/safe_file.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "remotes/exact_remote_text.h"
#include "remotes/key_menu.h"
#include "remotes/remote_fields.h"
#include "routing/key_router.h"
#include "routing/routing_messages.h"
#include "settings/key_functions.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

bool AnyKeyTaught(const RemoteDefinition& remote) {
  for (int32_t k = 1; k < kKeySlots; ++k)
    if (remote.HasKey(k)) return true;
  return false;
}

// The teach-data text of a code taught to `known`, refused for `wanted` when that differs.
std::string TakenText(const std::string& code, int32_t known, int32_t wanted) {
  std::string text =
      Format(" '%s' %s '%s' ", code.c_str(), getLabel(kLabelIsCodeFor), getLabel(known));
  if (wanted != known) text += Format("- not taught to '%s' ", getLabel(wanted));
  return text;
}

}  // namespace

void KeyRouter::ShowHeaderHint(bool exact, const char* classic_hint) {
  // An exact remote's header is its first key's protocol and address; a header typed anyway is
  // used when the receiver turns out to give classic codes only.
  view_.SetTeachFieldText(TeachField::kHeader, exact ? "from the first key" : classic_hint);
  view_.EnableTeachField(TeachField::kHeader, true);
}

void KeyRouter::TeachingRemote(Message* message, int32_t header, int32_t /*key_value*/,
                               int32_t byte2, int32_t byte3, const ExactCode* exact_code) {
  RemoteDefinition& teach = *teach_remote_;
  KeyMenu& key_menu = view_.TeachKeyMenu();
  const auto send_shown_remote = [&](const RemoteDefinition* record) {
    Message shown(kMarkRemotesButton);
    AddMarkedRemote(&shown, record);
    SendToApp(shown);
  };
  // A fresh, unnamed remote in `mode`, with its name and header fields open for typing.
  const auto start_new_remote = [&](int32_t mode, const char* header_hint) {
    Trace("set New Remote..\n");
    teach.name_ = "newRemote";
    teach.mode_ = mode;
    teach.ClearKeys();
    teach.header_ = 127127;
    // Nothing heard yet for this remote: a code or mark left from the last one must not be
    // taught to it or shown on it.
    teach_exact_.reset();
    teach_code_ = 0;
    teach_waiting_ = false;
    teach.SetMenuCheckMarks(&key_menu, 0, "", 0);
    view_.SetTeachFieldText(TeachField::kName, "newRemote");
    view_.StyleTeachField(TeachField::kName, TeachFieldLook::kNew);
    ShowHeaderHint(mode == kExactMode, header_hint);
  };

  switch (message->what) {
    case kTeachStart: {
      teaching_ = true;
      view_.ShowTeachBox(true);
      view_.LockForTeaching(true);
      view_.SetClassicCodes(settings_ != nullptr && settings_->classic_timing);
      start_new_remote(view_.ClassicCodes() ? 23 : kExactMode, "first Value");
      view_.SetTwoBytes(true);
      view_.InsertLog(getLabel(kLabelNameOrSelectRemote));
      return;
    }
    case kTeachChooseRemote: {
      const int32_t position = message->GetInt32("vaRemote", -1);
      const RemoteDefinition* record =
          position >= 0 && static_cast<size_t>(position) < remote_list_.size()
              ? remote_list_[position].get()
              : nullptr;
      if (record == nullptr) {
        start_new_remote(view_.ClassicCodes() ? 2 : kExactMode, "fill first 2 Bytes");
      } else {
        Trace("change to existing Remote..\n");
        teach.CopyFrom(*record);
        teach_exact_.reset();
        teach_code_ = 0;
        teach_waiting_ = false;
        SendToApp(kOpenVirtualRemote);
        send_shown_remote(record);
        view_.SetTwoBytes(teach.mode_ == 23);
        view_.SetClassicCodes(!teach.IsExact());
        view_.SetTeachFieldText(TeachField::kName, teach.name_);
        view_.SetTeachFieldText(TeachField::kHeader, teach.IsExact()
                                                         ? ExactHeadText(teach.ExactHead())
                                                         : std::to_string(teach.header_));
        view_.StyleTeachField(TeachField::kName, TeachFieldLook::kExisting);
        view_.StyleTeachField(TeachField::kHeader, TeachFieldLook::kExisting);
        teach.SetMenuCheckMarks(&key_menu, 0, "", 0);
        view_.InsertLog(getLabel(kLabelPressToReassign));
      }
      view_.DropMenuFocus(0);
      skip_ = false;
      return;
    }
    case kTeachNameEdited: {
      const std::string name = view_.TeachFieldText(TeachField::kName);
      // The name is also the file name: one that would leave the remote folder is refused.
      if (!IsSafeFileName(name) || name.size() > 78) {
        view_.InsertLog("The name '" + name +
                        "' cannot be a remote file name: it must not be empty, begin with "
                        "\".\", contain '/', name one of KORU's own files or be longer than "
                        "78 characters.\n");
        Trace("remote name refused: '%s'\n", name.c_str());
        return;
      }
      teach.name_ = name;
      view_.EnableTeachField(TeachField::kName, false);
      return;
    }
    case kTeachHeaderEdited:
      // An exact remote's header comes from its first key, never from the field.
      if (teach.IsExact() && teach.header_ == kNoClassicHeader) return;
      teach.header_ = static_cast<int32_t>(
          std::strtol(view_.TeachFieldText(TeachField::kHeader).c_str(), nullptr, 10));
      view_.EnableTeachField(TeachField::kHeader, false);
      return;
    case kTeachDoubleByteToggled:
      // An exact remote has no command bytes: the box counts once classic codes are chosen.
      if (!teach.IsExact()) teach.mode_ = view_.TwoBytes() ? 23 : 2;
      Trace(" set to %ld ComByte\n", static_cast<long>(teach.mode_));
      view_.DropTwoBytesFocus();
      return;
    case kTeachClassicToggled: {
      const bool classic = view_.ClassicCodes();
      if (classic != teach.IsExact()) return;
      // Keys of one kind cannot become keys of the other.
      if (AnyKeyTaught(teach)) {
        view_.SetClassicCodes(!classic);
        view_.ShowTeachData(classic ? "The remote holds exact codes: set its keys free first"
                                    : "The remote holds classic codes: set its keys free first",
                            TeachTone::kTaken);
        return;
      }
      teach.mode_ = classic ? (view_.TwoBytes() ? 23 : 2) : kExactMode;
      if (classic && teach.header_ == kNoClassicHeader) teach.header_ = 127127;
      ShowHeaderHint(!classic, "first Value");
      teach_exact_.reset();
      teach_waiting_ = false;
      Trace(" set to %ld ComByte\n", static_cast<long>(teach.mode_));
      return;
    }
    case kTeachKeyHeard: {
      const std::optional<ExactCode> exact =
          exact_code != nullptr ? std::optional<ExactCode>(*exact_code) : std::nullopt;
      const std::string field = exact ? ExactField(*exact) : std::string();
      if (teach.IsExact() && exact) {
        const std::string readable = ExactReadable(*exact);
        // As with classic codes, a key of another remote only shows up and never replaces the
        // key waiting under "goes to:": another remote's key is one of a loaded remote or, while
        // a key waits, one of another protocol or address than the remote's (or the waiting
        // key's). With nothing waiting, a key of another protocol may join the remote.
        std::string known_remote;
        message->FindString("_known", &known_remote);
        const bool taught = AnyKeyTaught(teach);
        bool other_head = false;
        if (teach_waiting_ && teach_exact_) {
          const ExactCode& head = taught ? teach.ExactHead() : *teach_exact_;
          other_head = head.protocol != exact->protocol || head.address != exact->address;
        }
        if ((!known_remote.empty() && (taught || teach_waiting_)) || other_head) {
          Trace("Wrong header: %s\n", field.c_str());
          view_.ShowTeachData(
              Format("%s: %s%s", getLabel(kLabelWrongHeader), readable.c_str(),
                     known_remote.empty() ? "" : (" ('" + known_remote + "')").c_str()),
              TeachTone::kTaken);
          return;
        }
        teach_exact_ = exact;
        Trace("%s will teach..", field.c_str());
        const int32_t known = teach.ExactFunction(*exact);
        if (known == kNoKeyFunction) {
          Trace("UNKNOWN NUMBER..\n");
          view_.ShowTeachData(Format("%s: '%s' ", getLabel(kLabelSelectFor), readable.c_str()),
                              TeachTone::kFree);
        } else {
          Trace("ALLREADY SET..\n");
          view_.ShowTeachData(TakenText(readable, known, known), TeachTone::kTaken);
        }
        view_.ShowTeachChoice(known != kNoKeyFunction);
        teach_waiting_ = known == kNoKeyFunction;
        Message key(kHighlightButton);
        key.AddInt32("vr_key", known == kNoKeyFunction ? 0 : known);
        AddKeyRemote(&key, &teach);
        SendToApp(key);
        return;
      }
      if (teach.IsExact()) {
        if (AnyKeyTaught(teach)) {
          view_.ShowTeachData("No exact code received: not taught", TeachTone::kTaken);
          return;
        }
        // The receiver gives classic codes only (classic timing): so is the remote taught.
        teach.mode_ = view_.TwoBytes() ? 23 : 2;
        view_.SetClassicCodes(true);
        // Classic codes need the header typed, unless it was.
        if (teach.header_ == 127127) ShowHeaderHint(false, "first Value");
        view_.InsertLog(
            "No exact codes from the receiver: the remote is taught with classic codes.\n");
      }
      const int32_t received =
          teach.IsTwoByte() ? byte2 * 1000 + byte3 : (hysteresis_ ? byte2 / 10 : byte2);
      Trace("%ld will teach..", static_cast<long>(received));
      const long code = static_cast<long>(received);
      // A key of another remote only shows up: the code waiting under "goes to:" stays the one
      // the user selected, or the next choice would store the stray code.
      if (header != teach.header_) {
        view_.ShowTeachData(Format("%s: %ld", getLabel(kLabelWrongHeader), code),
                            TeachTone::kTaken);
        return;
      }
      teach_code_ = received;
      const int32_t known = teach.KeyFunctionOfCode(teach_code_);
      int32_t reported = 0;
      if (known < 50) {
        Trace("UNKNOWN NUMBER..\n");
        view_.ShowTeachData(Format("%s: '%ld' ", getLabel(kLabelSelectFor), code),
                            TeachTone::kFree);
        view_.ShowTeachChoice(false);
      } else {
        Trace("ALLREADY SET..\n");
        view_.ShowTeachData(
            Format(" '%ld' %s '%s' ", code, getLabel(kLabelIsCodeFor), getLabel(known)),
            TeachTone::kTaken);
        view_.ShowTeachChoice(true);
        reported = known;
      }
      Message key(kHighlightButton);
      key.AddInt32("vr_key", reported);
      AddKeyRemote(&key, &teach);
      SendToApp(key);
      return;
    }
    case kTeachAssignKey: {
      const int32_t keyfn = message->GetInt32("isCommand", 0);
      if (teach.IsExact()) {
        if (!teach_exact_) return;  // no key pressed yet
        const std::string field = ExactField(*teach_exact_);
        Trace("\nteach %s to func %ld [%s]\n", field.c_str(), static_cast<long>(keyfn),
              keyfn >= 0 && keyfn < kLabelCount ? getLabel(keyfn) : "");
        const int32_t known = teach.ExactFunction(*teach_exact_);
        if (known != kNoKeyFunction && known != keyfn) {
          Trace("ALLREADY SET..\n");
          view_.ShowTeachData(TakenText(ExactReadable(*teach_exact_), known, keyfn),
                              TeachTone::kTaken);
          return;
        }
        if (!AnyKeyTaught(teach)) {
          teach.SetExactHead(*teach_exact_);
          view_.SetTeachFieldText(TeachField::kHeader, ExactHeadText(teach.ExactHead()));
          view_.EnableTeachField(TeachField::kHeader, false);
        }
        teach.SetExactKey(keyfn, *teach_exact_);
        teach_waiting_ = false;
        if (teach.ExactKey(keyfn)) {
          view_.InsertLog(Format("'%s' taught to '%s'\n", ExactReadable(*teach_exact_).c_str(),
                                 getLabel(keyfn)));
        }
      } else {
        if (teach_code_ == 0) return;  // no key heard yet
        Trace("\nteach %ld to func %ld [%s]\n", static_cast<long>(teach_code_),
              static_cast<long>(keyfn), keyfn >= 0 && keyfn < kLabelCount ? getLabel(keyfn) : "");
        const int32_t known =
            teach_code_ != 0 ? teach.KeyFunctionOfCode(teach_code_) : kNoKeyFunction;
        if (known >= kFirstKeyFunction && known != keyfn) {
          Trace("ALLREADY SET..\n");
          view_.ShowTeachData(TakenText(std::to_string(teach_code_), known, keyfn),
                              TeachTone::kTaken);
          return;
        }
        if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
          teach.SetSlot(SlotOf(keyfn), teach_code_);
          // "goes to:" shows "-?-" again for the next key: the log keeps what was stored.
          view_.InsertLog(
              Format("'%ld' taught to '%s'\n", static_cast<long>(teach_code_), getLabel(keyfn)));
        }
      }
      send_shown_remote(&teach);
      if (keyfn >= kKeyUnknownRemote && keyfn < kLabelCount)
        key_menu.SetItemTo(getLabel(keyfn), true, true);
      return;
    }
    case kTeachClearKey: {
      if (teach.IsExact()) {
        const int32_t keyfn = teach_exact_ ? teach.ExactFunction(*teach_exact_) : kNoKeyFunction;
        Trace("\n loesche eintrag (%s) in Zelle %ld\n",
              teach_exact_ ? ExactField(*teach_exact_).c_str() : "-", static_cast<long>(keyfn));
        if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
          teach.ClearExactKey(keyfn);
          teach.SetMenuCheckMarks(&key_menu, 1, "", keyfn - kFirstKeyFunction);
        }
        send_shown_remote(&teach);
        return;
      }
      const int32_t keyfn = teach.KeyFunctionOfCode(teach_code_);
      Trace("\n loesche eintrag (%ld) in Zelle %ld\n", static_cast<long>(teach_code_),
            static_cast<long>(keyfn));
      if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
        teach.SetSlot(SlotOf(keyfn), 0);
        teach.SetMenuCheckMarks(&key_menu, 1, "", keyfn - kFirstKeyFunction);
      }
      Trace(" (%ld) nun in Zelle: %ld\n", static_cast<long>(teach_code_),
            static_cast<long>(teach.KeyFunctionOfCode(teach_code_)));
      send_shown_remote(&teach);
      return;
    }
    case kTeachDone: {
      // A new remote that was taught keys but never named would be lost without a word: the
      // first "Quit" says so and keeps the box open, a second one discards it.
      bool taught = false;
      for (int32_t k = 1; k < kKeySlots; ++k) taught = taught || teach.HasKey(k);
      if (teach.name_ == "newRemote" && taught && !quit_warned_) {
        quit_warned_ = true;
        view_.InsertLog(
            "The new remote has no name yet: type one, or press \"Quit\" again to drop it.\n");
        return;
      }
      quit_warned_ = false;
      std::string outcome = std::string(getLabel(kLabelDone)) + "\n";
      if (teach.name_ == "newRemote" || teach.name_ == "-noname-") {
        outcome = "Nothing saved: the remote has no name.\n";
      } else if (const std::string name = teach.name_; teach.RemoteSave() != kOk) {
        outcome = "The remote '" + name + "' could not be written: nothing was saved.\n";
        AnyAlert(outcome, false);
      }
      teach.name_ = "-noname-";
      view_.SetReceiverContinuous(false);
      view_.InsertLog(getLabel(kLabelLoadingData));
      teaching_ = false;
      view_.ShowTeachBox(false);
      RescanRemotes();
      teach_remote_->WriteKeysChart(&remote_list_);
      SendToApp(kMarkRemotesButton);
      view_.SetReceiverContinuous(true);
      view_.InsertLog(outcome);
      view_.LockForTeaching(false);
      return;
    }
    default:
      return;
  }
}

}  // namespace koru
