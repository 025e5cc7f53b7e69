#include "lircd/lircd_command_reply.h"

#include <strings.h>

#include <cstdio>
#include <vector>

namespace koru {

namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    const size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    if (at > start) words.emplace_back(line.substr(start, at - start));
  }
  return words;
}

std::string Packet(std::string_view command, bool success, const std::vector<std::string>& data) {
  std::string packet = "BEGIN\n";
  packet += command;
  packet += success ? "\nSUCCESS\n" : "\nERROR\n";
  if (!data.empty()) {
    packet += "DATA\n" + std::to_string(data.size()) + "\n";
    for (const std::string& line : data) packet += line + "\n";
  }
  packet += "END\n";
  return packet;
}

std::string Error(std::string_view command, const std::string& why) {
  return Packet(command, false, {why});
}

std::string KeyLine(const LircdKey& key) {
  char code[20];
  std::snprintf(code, sizeof code, "%016llx ", static_cast<unsigned long long>(key.code));
  return code + key.name;
}

bool Is(const std::string& word, const char* directive) {
  return strcasecmp(word.c_str(), directive) == 0;
}

std::string List(std::string_view command, const std::vector<std::string>& words,
                 const LircdDirectory& directory) {
  std::vector<std::string> data;
  if (words.size() == 1) {
    for (const LircdRemote& remote : directory.remotes) data.push_back(remote.name);
    return Packet(command, true, data);
  }
  if (words.size() > 3) return Error(command, "bad send packet");
  const LircdRemote* remote = directory.Find(words[1]);
  if (remote == nullptr) return Error(command, "unknown remote: \"" + words[1] + "\"");
  for (const LircdKey& key : remote->keys) {
    if (words.size() == 2 || strcasecmp(key.name.c_str(), words[2].c_str()) == 0) {
      data.push_back(KeyLine(key));
    }
  }
  if (words.size() == 3 && data.empty()) {
    return Error(command, "unknown command: \"" + words[2] + "\"");
  }
  return Packet(command, true, data);
}

}  // namespace

std::string LircdCommandReply(std::string_view line, const LircdDirectory& directory,
                              std::string_view version) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.remove_suffix(1);
  }
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return {};
  const std::string& directive = words[0];
  if (Is(directive, "VERSION")) {
    if (words.size() > 1) return Error(line, "bad send packet");
    return Packet(line, true, {std::string(version)});
  }
  if (Is(directive, "LIST")) return List(line, words, directory);
  if (Is(directive, "SEND_ONCE") || Is(directive, "SEND_START") || Is(directive, "SEND_STOP") ||
      Is(directive, "SET_TRANSMITTERS")) {
    return Error(line, "hardware does not support sending");
  }
  return Error(line, "unknown directive: \"" + directive + "\"");
}

}  // namespace koru
