// Writes JSON text: objects, arrays, strings (escaped, always valid UTF-8)
// and numbers (non-finite ones become null). Commas go where they belong.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

class JsonWriter {
public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(const std::string& key);
  JsonWriter& String(const std::string& text);
  JsonWriter& Number(double value);
  JsonWriter& Bool(bool value);

  const std::string& Text() const { return out_; }

private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  void Separate();
  void Quoted(const std::string& text);

  std::string out_;
  std::vector<bool> hasItems_;
  bool afterKey_ = false;
};

} // namespace vsthost
