// The HTML overviews of the loaded remotes: which keys are taught ("_Chart.html") and their
// codes ("_ChartData.html").
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/koru_type.h"
#include "platform/messaging/trace.h"
#include "remotes/exact_remote_text.h"
#include "remotes/remote_definition.h"
#include "settings/label_table.h"

namespace koru {

namespace {

enum class ChartKind { kKeys, kCodes };

std::string Format(const char* format, long value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Remote names come from the user: markup in them must stay text.
std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The link to the remote file beside the chart: every byte outside the unreserved set is
// percent-encoded, so names with '#', '?', '"' or blanks still point at their file.
std::string EscapeLink(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

const char* KindWord(int32_t kind) {
  switch (kind) {
    case kKindOrg:
      return "Org.";
    case kKindMod:
      return "Mod.";
    case kKindUser:
      return "User";
    default:
      return "Err.";
  }
}

const char* RowColour(ChartKind chart, int32_t kind) {
  if (kind == kKindOrg) return ">";
  if (chart == ChartKind::kKeys) {
    switch (kind) {
      case kKindMod:
        return " BGCOLOR='#ffff88'>";
      case kKindUser:
        return " BGCOLOR='#ff88ff'>";
      default:
        return " BGCOLOR='#ff8888'>";
    }
  }
  switch (kind) {
    case kKindMod:
      return " BGCOLOR='#ffff88'>";
    case kKindUser:
      return " BGCOLOR='#cccccc'>";
    default:
      return " BGCOLOR='#ff8888'>";
  }
}

std::string Row(ChartKind chart, const RemoteDefinition& record) {
  std::string row = "\n<TR";
  row += RowColour(chart, record.kind_);
  row += "<TD align='right'> <a href=\"" + EscapeLink(record.name_) + "\"> " +
         EscapeHtml(record.name_) + " </a> ";
  for (int32_t n = kFirstKeyFunction; n < kLastKeyFunction; ++n) {
    if (!RemoteDefinition::IsReduced(n)) continue;
    if (record.IsExact()) {
      // Exact codes in words: the key chart shows them on the key's mark.
      const std::optional<ExactCode> code = record.ExactKey(n);
      const std::string readable = code ? EscapeHtml(ExactReadable(*code)) : "-";
      if (chart == ChartKind::kCodes)
        row += "</TD><TD> " + readable;
      else
        row += code ? "</TD><TD BGCOLOR='#aaefaa' title='" + readable + "'>x" : "</TD><TD>-";
      continue;
    }
    const int32_t value = record.Slot(SlotOf(n));
    if (chart == ChartKind::kCodes)
      row += Format("</TD><TD> %ld", value);
    else
      row += (value >= 1 && value <= 256255) ? "</TD><TD BGCOLOR='#aaefaa'>x" : "</TD><TD>-";
  }
  if (record.IsExact())
    row += "</TD><TD> " + EscapeHtml(ExactHeadText(record.ExactHead())) + " ";
  else
    row += Format("</TD><TD> %ld ", record.header_);
  row += Format("</TD><TD> %ld ", record.mode_);
  row += std::string("</TD><TD>") + KindWord(record.kind_) + "</TD></TR>\n";
  return row;
}

}  // namespace

void RemoteDefinition::ChartHeader(std::string* file) {
  if (!file) return;
  *file += "<TR BGCOLOR='#aaefaa'><TD><center>Remote-Name";
  for (int32_t n = kFirstKeyFunction; n < kLastKeyFunction; ++n)
    if (IsReduced(n)) *file += std::string("</TD><TD><center> ") + getLabel(n) + " ";
  *file += "</TD>\n<TD>header</TD><TD><nobr>C-Byte</TD><TD><nobr>Chk.</TD></TR>\n";
}

namespace {

status_t WriteChart(RemoteDefinition& self, ChartKind chart, RemoteList* list, std::time_t now,
                    const std::filesystem::path& folder) {
  const bool keys = chart == ChartKind::kKeys;
  Trace(keys ? " Chart4Remotes: " : " ChartData4Remotes: ");
  if (!list) {
    Trace(" no list given\n");
    return kBadValue;
  }
  char date[20] = "";
  std::tm local{};
  if (localtime_r(&now, &local)) std::strftime(date, sizeof date, "[%Y/%m/%d %H:%M] ", &local);
  const long count = static_cast<long>(list->size());
  const std::filesystem::path path = folder / (keys ? "_Chart.html" : "_ChartData.html");

  std::string text = "<!-- - \n; - KORU / REMOTE-CHART \n; - -->\n";
  text += "<HTML>\n<HEAD>\n<TITLE> KORU Chart </TITLE>\n";
  text += "<BASEFONT FACE='VERDANA,ARIAL,HELVETICA' size='1'>\n";
  text +=
      "<style>\n td,tr,table {  font-family:Verdana, Arial, Helvetica, sans-serif; "
      "text-align:center; font-size: 10px;}\n</style>\n";
  text += "</HEAD>\n<BODY BGCOLOR='#ebebdd'>\n";
  text += "<TABLE BORDER='1' cellspacing='0' cellpadding='0'>\n";
  char line[96];
  std::snprintf(line, sizeof line,
                keys ? "We have %ld Remotes  %s<br>\n" : "We have %ld Remotes %s<br>\n", count,
                date);
  text += line;
  RemoteDefinition::ChartHeader(&text);
  // The key chart classifies every record as it goes; a chart that cannot be written leaves
  // the records as they were.
  std::vector<std::pair<int32_t, int32_t>> before;  // kind and check sum
  for (const auto& record : *list)
    before.emplace_back(record ? record->kind_ : 0, record ? record->check_sum_ : 0);
  for (long i = 0; i < count; ++i) {
    RemoteDefinition* record = (*list)[i].get();
    if (!record) continue;
    if (keys) self.UpdateOriginKind(record->name_, list);
    text += Row(chart, *record);
  }
  RemoteDefinition::ChartHeader(&text);
  text += "</TABLE>\n</HTML>\n";

  const status_t status = WriteKoruFile(path, text, kKoruChartFile);
  if (status != kOk) {
    Trace("'%s' OpenError!\n", path.c_str());
    for (size_t i = 0; i < list->size(); ++i) {
      if (!(*list)[i]) continue;
      (*list)[i]->kind_ = before[i].first;
      (*list)[i]->check_sum_ = before[i].second;
    }
    return status;
  }
  Trace("Save Chart: %s done\n", path.c_str());
  return kOk;
}

}  // namespace

status_t RemoteDefinition::WriteKeysChart(RemoteList* list, std::time_t now) {
  if (folder_.empty()) return kEntryNotFound;  // not into the working directory
  return WriteChart(*this, ChartKind::kKeys, list, now, folder_);
}

status_t RemoteDefinition::WriteCodesChart(RemoteList* list, std::time_t now) {
  if (folder_.empty()) return kEntryNotFound;
  return WriteChart(*this, ChartKind::kCodes, list, now, folder_);
}

}  // namespace koru
