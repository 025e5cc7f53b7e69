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
  fView.SetTeachFieldText(TeachField::kHeader, exact ? "from the first key" : classic_hint);
  fView.EnableTeachField(TeachField::kHeader, true);
}

void KeyRouter::TeachingRemote(Message* message, int32_t header, int32_t /*key_value*/,
                               int32_t byte2, int32_t byte3, const ExactCode* exact_code) {
  RemoteDefinition& teach = *fTeachRemote;
  KeyMenu& key_menu = fView.TeachKeyMenu();
  const auto send_shown_remote = [&](const RemoteDefinition* record) {
    Message shown(kMarkRemotesButton);
    AddMarkedRemote(&shown, record);
    SendToApp(shown);
  };
  // A fresh, unnamed remote in `mode`, with its name and header fields open for typing.
  const auto start_new_remote = [&](int32_t mode, const char* header_hint) {
    Trace("set New Remote..\n");
    teach.fName = "newRemote";
    teach.fComByte = mode;
    teach.ClearKeyDef();
    teach.fComHead = 127127;
    fTeachExact.reset();
    fTeachWaiting = false;
    fView.SetTeachFieldText(TeachField::kName, "newRemote");
    fView.StyleTeachField(TeachField::kName, TeachFieldLook::kNew);
    ShowHeaderHint(mode == kExactMode, header_hint);
  };

  switch (message->what) {
    case kTeachStart: {
      fTeaching = true;
      fView.ShowTeachBox(true);
      fView.LockForTeaching(true);
      fView.SetClassicCodes(fSettings != nullptr && fSettings->classic_timing);
      start_new_remote(fView.ClassicCodes() ? 23 : kExactMode, "first Value");
      fView.SetTwoBytes(true);
      fView.InsertLog(getLabel(kLabelNameOrSelectRemote));
      return;
    }
    case kTeachChooseRemote: {
      const int32_t position = message->GetInt32("vaRemote", -1);
      const RemoteDefinition* record =
          position >= 0 && static_cast<size_t>(position) < fRemoteList.size()
              ? fRemoteList[position].get()
              : nullptr;
      if (record == nullptr) {
        start_new_remote(fView.ClassicCodes() ? 2 : kExactMode, "fill first 2 Bytes");
        teach.SetMenuCheckMarks(&key_menu, 0, "", 0);
      } else {
        Trace("change to existing Remote..\n");
        teach.CopyFrom(*record);
        fTeachExact.reset();
        fTeachWaiting = false;
        SendToApp(kOpenVirtualRemote);
        send_shown_remote(record);
        fView.SetTwoBytes(teach.fComByte == 23);
        fView.SetClassicCodes(!teach.IsExact());
        fView.SetTeachFieldText(TeachField::kName, teach.fName);
        fView.SetTeachFieldText(TeachField::kHeader, teach.IsExact()
                                                         ? ExactHeadText(teach.ExactHead())
                                                         : std::to_string(teach.fComHead));
        fView.StyleTeachField(TeachField::kName, TeachFieldLook::kExisting);
        fView.StyleTeachField(TeachField::kHeader, TeachFieldLook::kExisting);
        teach.SetMenuCheckMarks(&key_menu, 0, "", 0);
        fView.InsertLog(getLabel(kLabelPressToReassign));
      }
      fView.DropMenuFocus(0);
      fSkip = false;
      return;
    }
    case kTeachNameEdited: {
      const std::string name = fView.TeachFieldText(TeachField::kName);
      // The name is also the file name: one that would leave the remote folder is refused.
      if (!IsSafeFileName(name) || name.size() > 78) {
        fView.InsertLog("The name '" + name +
                        "' cannot be a remote file name: it must not be empty, begin with "
                        "\".\", contain '/', name one of KORU's own files or be longer than "
                        "78 characters.\n");
        Trace("remote name refused: '%s'\n", name.c_str());
        return;
      }
      teach.fName = name;
      fView.EnableTeachField(TeachField::kName, false);
      return;
    }
    case kTeachHeaderEdited:
      // An exact remote's header comes from its first key, never from the field.
      if (teach.IsExact() && teach.fComHead == kNoClassicHeader) return;
      teach.fComHead = static_cast<int32_t>(
          std::strtol(fView.TeachFieldText(TeachField::kHeader).c_str(), nullptr, 10));
      fView.EnableTeachField(TeachField::kHeader, false);
      return;
    case kTeachDoubleByteToggled:
      // An exact remote has no command bytes: the box counts once classic codes are chosen.
      if (!teach.IsExact()) teach.fComByte = fView.TwoBytes() ? 23 : 2;
      Trace(" set to %ld ComByte\n", static_cast<long>(teach.fComByte));
      fView.DropTwoBytesFocus();
      return;
    case kTeachClassicToggled: {
      const bool classic = fView.ClassicCodes();
      if (classic != teach.IsExact()) return;
      // Keys of one kind cannot become keys of the other.
      if (AnyKeyTaught(teach)) {
        fView.SetClassicCodes(!classic);
        fView.ShowTeachData(classic ? "The remote holds exact codes: set its keys free first"
                                    : "The remote holds classic codes: set its keys free first",
                            TeachTone::kTaken);
        return;
      }
      teach.fComByte = classic ? (fView.TwoBytes() ? 23 : 2) : kExactMode;
      if (classic && teach.fComHead == kNoClassicHeader) teach.fComHead = 127127;
      ShowHeaderHint(!classic, "first Value");
      fTeachExact.reset();
      fTeachWaiting = false;
      Trace(" set to %ld ComByte\n", static_cast<long>(teach.fComByte));
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
        if (fTeachWaiting && fTeachExact) {
          const ExactCode& head = taught ? teach.ExactHead() : *fTeachExact;
          other_head = head.protocol != exact->protocol || head.address != exact->address;
        }
        if ((!known_remote.empty() && (taught || fTeachWaiting)) || other_head) {
          Trace("Wrong header: %s\n", field.c_str());
          fView.ShowTeachData(
              Format("%s: %s%s", getLabel(kLabelWrongHeader), readable.c_str(),
                     known_remote.empty() ? "" : (" ('" + known_remote + "')").c_str()),
              TeachTone::kTaken);
          return;
        }
        fTeachExact = exact;
        Trace("%s will teach..", field.c_str());
        const int32_t known = teach.ExactFunction(*exact);
        if (known == kNoKeyFunction) {
          Trace("UNKNOWN NUMBER..\n");
          fView.ShowTeachData(Format("%s: '%s' ", getLabel(kLabelSelectFor), readable.c_str()),
                              TeachTone::kFree);
        } else {
          Trace("ALLREADY SET..\n");
          fView.ShowTeachData(TakenText(readable, known, known), TeachTone::kTaken);
        }
        fView.ShowTeachChoice(known != kNoKeyFunction);
        fTeachWaiting = known == kNoKeyFunction;
        Message key(kHighlightButton);
        key.AddInt32("vr_key", known == kNoKeyFunction ? 0 : known);
        AddKeyRemote(&key, &teach);
        SendToApp(key);
        return;
      }
      if (teach.IsExact()) {
        if (AnyKeyTaught(teach)) {
          fView.ShowTeachData("No exact code received: not taught", TeachTone::kTaken);
          return;
        }
        // The receiver gives classic codes only (classic timing): so is the remote taught.
        teach.fComByte = fView.TwoBytes() ? 23 : 2;
        fView.SetClassicCodes(true);
        // Classic codes need the header typed, unless it was.
        if (teach.fComHead == 127127) ShowHeaderHint(false, "first Value");
        fView.InsertLog(
            "No exact codes from the receiver: the remote is taught with classic codes.\n");
      }
      const int32_t received =
          teach.IsTwoByte() ? byte2 * 1000 + byte3 : (fHysteresis ? byte2 / 10 : byte2);
      Trace("%ld will teach..", static_cast<long>(received));
      const long code = static_cast<long>(received);
      // A key of another remote only shows up: the code waiting under "goes to:" stays the one
      // the user selected, or the next choice would store the stray code.
      if (header != teach.fComHead) {
        fView.ShowTeachData(Format("%s: %ld", getLabel(kLabelWrongHeader), code),
                            TeachTone::kTaken);
        return;
      }
      fTeachCode = received;
      const int32_t known = teach.ExistValue(fTeachCode);
      int32_t reported = 0;
      if (known < 50) {
        Trace("UNKNOWN NUMBER..\n");
        fView.ShowTeachData(Format("%s: '%ld' ", getLabel(kLabelSelectFor), code),
                            TeachTone::kFree);
        fView.ShowTeachChoice(false);
      } else {
        Trace("ALLREADY SET..\n");
        fView.ShowTeachData(
            Format(" '%ld' %s '%s' ", code, getLabel(kLabelIsCodeFor), getLabel(known)),
            TeachTone::kTaken);
        fView.ShowTeachChoice(true);
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
        if (!fTeachExact) return;  // no key pressed yet
        const std::string field = ExactField(*fTeachExact);
        Trace("\nteach %s to func %ld [%s]\n", field.c_str(), static_cast<long>(keyfn),
              keyfn >= 0 && keyfn < kLabelCount ? getLabel(keyfn) : "");
        const int32_t known = teach.ExactFunction(*fTeachExact);
        if (known != kNoKeyFunction && known != keyfn) {
          Trace("ALLREADY SET..\n");
          fView.ShowTeachData(TakenText(ExactReadable(*fTeachExact), known, keyfn),
                              TeachTone::kTaken);
          return;
        }
        if (!AnyKeyTaught(teach)) {
          teach.SetExactHead(*fTeachExact);
          fView.SetTeachFieldText(TeachField::kHeader, ExactHeadText(teach.ExactHead()));
          fView.EnableTeachField(TeachField::kHeader, false);
        }
        teach.SetExactKey(keyfn, *fTeachExact);
        fTeachWaiting = false;
        if (teach.ExactKey(keyfn)) {
          fView.InsertLog(Format("'%s' taught to '%s'\n", ExactReadable(*fTeachExact).c_str(),
                                 getLabel(keyfn)));
        }
      } else {
        Trace("\nteach %ld to func %ld [%s]\n", static_cast<long>(fTeachCode),
              static_cast<long>(keyfn), keyfn >= 0 && keyfn < kLabelCount ? getLabel(keyfn) : "");
        const int32_t known = fTeachCode != 0 ? teach.ExistValue(fTeachCode) : kNoKeyFunction;
        if (known >= kFirstKeyFunction && known != keyfn) {
          Trace("ALLREADY SET..\n");
          fView.ShowTeachData(TakenText(std::to_string(fTeachCode), known, keyfn),
                              TeachTone::kTaken);
          return;
        }
        if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
          teach.SetSlot(keyfn - 50, fTeachCode);
          // "goes to:" shows "-?-" again for the next key: the log keeps what was stored.
          fView.InsertLog(
              Format("'%ld' taught to '%s'\n", static_cast<long>(fTeachCode), getLabel(keyfn)));
        }
      }
      send_shown_remote(&teach);
      if (keyfn >= kKeyUnknownRemote && keyfn < kLabelCount)
        key_menu.SetItemTo(getLabel(keyfn), true, true);
      return;
    }
    case kTeachClearKey: {
      if (teach.IsExact()) {
        const int32_t keyfn = fTeachExact ? teach.ExactFunction(*fTeachExact) : kNoKeyFunction;
        Trace("\n loesche eintrag (%s) in Zelle %ld\n",
              fTeachExact ? ExactField(*fTeachExact).c_str() : "-", static_cast<long>(keyfn));
        if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
          teach.ClearExactKey(keyfn);
          teach.SetMenuCheckMarks(&key_menu, 1, "", keyfn - kFirstKeyFunction);
        }
        send_shown_remote(&teach);
        return;
      }
      const int32_t keyfn = teach.ExistValue(fTeachCode);
      Trace("\n loesche eintrag (%ld) in Zelle %ld\n", static_cast<long>(fTeachCode),
            static_cast<long>(keyfn));
      if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
        teach.SetSlot(keyfn - 50, 0);
        teach.SetMenuCheckMarks(&key_menu, 1, "", keyfn - kFirstKeyFunction);
      }
      Trace(" (%ld) nun in Zelle: %ld\n", static_cast<long>(fTeachCode),
            static_cast<long>(teach.ExistValue(fTeachCode)));
      send_shown_remote(&teach);
      return;
    }
    case kTeachDone: {
      // A new remote that was taught keys but never named would be lost without a word: the
      // first "Quit" says so and keeps the box open, a second one discards it.
      bool taught = false;
      for (int32_t k = 1; k < kKeySlots; ++k) taught = taught || teach.HasKey(k);
      if (teach.fName == "newRemote" && taught && !fQuitWarned) {
        fQuitWarned = true;
        fView.InsertLog(
            "The new remote has no name yet: type one, or press \"Quit\" again to drop it.\n");
        return;
      }
      fQuitWarned = false;
      std::string outcome = std::string(getLabel(kLabelDone)) + "\n";
      if (teach.fName == "newRemote" || teach.fName == "-noname-") {
        outcome = "Nothing saved: the remote has no name.\n";
      } else if (const std::string name = teach.fName; teach.RemoteSave() != kOk) {
        outcome = "The remote '" + name + "' could not be written: nothing was saved.\n";
        AnyAlert(outcome, false);
      }
      teach.fName = "-noname-";
      fView.SetReceiverContinuous(false);
      fView.InsertLog(getLabel(kLabelLoadingData));
      fTeaching = false;
      fView.ShowTeachBox(false);
      RescanRemotes();
      fTeachRemote->Chart4Remotes(&fRemoteList);
      SendToApp(kMarkRemotesButton);
      fView.SetReceiverContinuous(true);
      fView.InsertLog(outcome);
      fView.LockForTeaching(false);
      return;
    }
    default:
      return;
  }
}
