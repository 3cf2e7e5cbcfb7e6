#include "check/LuaChunk.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "script/LuaEnvironment.h"

namespace tessel::check {
namespace {

struct StateCloser {
  void operator()(lua_State* state) const { lua_close(state); }
};
using StatePtr = std::unique_ptr<lua_State, StateCloser>;

// ---------------------------------------------------------------------------
// Lua 5.1 byte code, as lua_dump writes it: a header giving the sizes of the
// platform's types, then the main function prototype with its nested ones.

constexpr std::size_t kHeaderSize = 12;

enum Opcode : unsigned {
  kMove = 0,
  kLoadK = 1,
  kGetGlobal = 5,
  kSetGlobal = 7,
  kSetTable = 9,
  kJmp = 22,
  kEq = 23,
  kLt = 24,
  kLe = 25,
  kCall = 28,
  kTailCall = 29,
  kReturn = 30,
  kSetList = 34,
  kClosure = 36,
};

unsigned Op(std::uint32_t i) { return i & 0x3F; }
unsigned ArgA(std::uint32_t i) { return (i >> 6) & 0xFF; }
unsigned ArgB(std::uint32_t i) { return (i >> 23) & 0x1FF; }
unsigned ArgC(std::uint32_t i) { return (i >> 14) & 0x1FF; }
unsigned ArgBx(std::uint32_t i) { return i >> 14; }
constexpr unsigned kConstantBit = 0x100;  // an RK operand naming a constant

struct Constant {
  bool is_string = false;
  std::string text;
};

struct Prototype {
  unsigned upvalue_count = 0;
  std::vector<std::uint32_t> code;
  std::vector<Constant> constants;
  std::vector<Prototype> children;
  std::vector<int> lines;  // per instruction
};

class ByteCodeReader {
 public:
  explicit ByteCodeReader(std::string_view bytes) : bytes_(bytes) {}

  bool ReadHeader() {
    if (bytes_.size() < kHeaderSize || bytes_.substr(0, 4) != "\x1bLua" ||
        static_cast<unsigned char>(bytes_[4]) != 0x51) {
      return false;
    }
    little_endian_ = bytes_[6] == 1;
    int_size_ = static_cast<unsigned char>(bytes_[7]);
    size_t_size_ = static_cast<unsigned char>(bytes_[8]);
    instruction_size_ = static_cast<unsigned char>(bytes_[9]);
    number_size_ = static_cast<unsigned char>(bytes_[10]);
    at_ = kHeaderSize;
    return int_size_ >= 1 && int_size_ <= 8 && size_t_size_ >= 1 && size_t_size_ <= 8 &&
           instruction_size_ == 4;
  }

  bool ReadFunction(Prototype& p, int depth) {
    if (depth > 200) return false;
    std::string ignored;
    std::uint64_t n = 0;
    if (!ReadString(ignored)) return false;  // source
    if (!Skip(2 * int_size_)) return false;  // first and last line
    std::uint64_t upvalues = 0;
    if (!ReadUnsigned(1, upvalues) || !Skip(3)) return false;  // params, vararg, stack
    p.upvalue_count = static_cast<unsigned>(upvalues);

    if (!ReadCount(n, 4)) return false;
    p.code.resize(n);
    for (auto& instruction : p.code) {
      std::uint64_t value = 0;
      if (!ReadUnsigned(4, value)) return false;
      instruction = static_cast<std::uint32_t>(value);
    }

    if (!ReadCount(n, 1)) return false;
    p.constants.resize(n);
    for (Constant& k : p.constants) {
      std::uint64_t type = 0;
      if (!ReadUnsigned(1, type)) return false;
      switch (type) {
        case LUA_TNIL:
          break;
        case LUA_TBOOLEAN:
          if (!Skip(1)) return false;
          break;
        case LUA_TNUMBER:
          if (!Skip(number_size_)) return false;
          break;
        case LUA_TSTRING:
          k.is_string = true;
          if (!ReadString(k.text)) return false;
          break;
        default:
          return false;
      }
    }

    if (!ReadCount(n, 1)) return false;
    p.children.resize(n);
    for (Prototype& child : p.children) {
      if (!ReadFunction(child, depth + 1)) return false;
    }

    if (!ReadCount(n, int_size_)) return false;
    p.lines.resize(n);
    for (int& line : p.lines) {
      std::uint64_t value = 0;
      if (!ReadUnsigned(int_size_, value)) return false;
      line = static_cast<int>(value);
    }
    if (!ReadCount(n, 1)) return false;  // locals: name, first and last pc
    for (std::uint64_t i = 0; i < n; ++i) {
      if (!ReadString(ignored) || !Skip(2 * int_size_)) return false;
    }
    if (!ReadCount(n, 1)) return false;  // upvalue names
    for (std::uint64_t i = 0; i < n; ++i) {
      if (!ReadString(ignored)) return false;
    }
    return true;
  }

 private:
  bool Skip(std::size_t count) {
    if (bytes_.size() - at_ < count) return false;
    at_ += count;
    return true;
  }

  bool ReadUnsigned(std::size_t size, std::uint64_t& value) {
    if (bytes_.size() - at_ < size) return false;
    value = 0;
    for (std::size_t i = 0; i < size; ++i) {
      const std::size_t index = little_endian_ ? size - 1 - i : i;
      value = (value << 8) | static_cast<unsigned char>(bytes_[at_ + index]);
    }
    at_ += size;
    return true;
  }

  // A count of items, each at least `item_size` bytes: never more than fit.
  bool ReadCount(std::uint64_t& count, std::size_t item_size) {
    if (!ReadUnsigned(int_size_, count)) return false;
    return count <= (bytes_.size() - at_) / item_size;
  }

  bool ReadString(std::string& text) {
    std::uint64_t length = 0;
    if (!ReadUnsigned(size_t_size_, length)) return false;
    if (length > bytes_.size() - at_) return false;
    // The stored length counts a terminating zero byte.
    text.assign(bytes_.substr(at_, length > 0 ? length - 1 : 0));
    at_ += length;
    return true;
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
  bool little_endian_ = true;
  std::size_t int_size_ = 4;
  std::size_t size_t_size_ = 8;
  std::size_t instruction_size_ = 4;
  std::size_t number_size_ = 8;
};

// Instructions that follow another as its operands, not as code of their own.
std::vector<bool> OperandSlots(const Prototype& p) {
  std::vector<bool> operand(p.code.size(), false);
  for (std::size_t pc = 0; pc < p.code.size(); ++pc) {
    if (operand[pc]) continue;
    const std::uint32_t i = p.code[pc];
    std::size_t skip = 0;
    if (Op(i) == kClosure && ArgBx(i) < p.children.size()) {
      skip = p.children[ArgBx(i)].upvalue_count;  // one MOVE or GETUPVAL per upvalue
    } else if (Op(i) == kSetList && ArgC(i) == 0) {
      skip = 1;  // the block number in a word of its own
    }
    for (std::size_t k = 1; k <= skip && pc + k < p.code.size(); ++k) operand[pc + k] = true;
  }
  return operand;
}

const std::string* StringConstant(const Prototype& p, unsigned index) {
  if (index >= p.constants.size() || !p.constants[index].is_string) return nullptr;
  return &p.constants[index].text;
}

// Instructions whose A field does not name a register they use.
bool IgnoresA(unsigned op) { return op == kJmp || op == kEq || op == kLt || op == kLe; }

// Whether an instruction after `pc` is more than a return.
bool CodeFollows(const Prototype& p, const std::vector<bool>& operand, std::size_t pc) {
  for (std::size_t next = pc + 1; next < p.code.size(); ++next) {
    if (!operand[next] && Op(p.code[next]) != kReturn) return true;
  }
  return false;
}

void Collect(const Prototype& p, ChunkGlobals& out, bool main) {
  const std::vector<bool> operand = OperandSlots(p);
  // Registers that hold a global just fetched, to see `_G.Name = value`.
  std::array<const std::string*, 256> fetched{};
  const auto line_of = [&p](std::size_t pc) { return pc < p.lines.size() ? p.lines[pc] : 0; };

  for (std::size_t pc = 0; pc < p.code.size(); ++pc) {
    if (operand[pc]) continue;
    const std::uint32_t i = p.code[pc];
    const unsigned op = Op(i);
    const unsigned a = ArgA(i);
    if (op == kGetGlobal) {
      const std::string* name = StringConstant(p, ArgBx(i));
      fetched[a] = name;
      if (name == nullptr) continue;
      // The call, if it is one, is the next instruction that uses the
      // register: the arguments are evaluated into the registers above it.
      for (std::size_t next = pc + 1; next < p.code.size(); ++next) {
        if (operand[next]) continue;
        const std::uint32_t j = p.code[next];
        if (IgnoresA(Op(j)) || ArgA(j) != a) continue;
        if (Op(j) == kCall || Op(j) == kTailCall) {
          GlobalCall call{*name, line_of(pc), std::nullopt, main && CodeFollows(p, operand, next)};
          if (pc + 1 < next) {
            const std::uint32_t first = p.code[pc + 1];
            if (Op(first) == kLoadK && ArgA(first) == a + 1) {
              if (const std::string* text = StringConstant(p, ArgBx(first)))
                call.first_string = *text;
            }
          }
          out.calls.push_back(std::move(call));
        }
        break;
      }
      continue;
    }
    if (op == kSetGlobal) {
      if (const std::string* name = StringConstant(p, ArgBx(i))) out.assigned.push_back(*name);
    } else if (op == kSetTable && fetched[a] != nullptr && *fetched[a] == "_G" &&
               (ArgB(i) & kConstantBit) != 0) {
      if (const std::string* name = StringConstant(p, ArgB(i) & 0xFF))
        out.assigned.push_back(*name);
    }
    if (!IgnoresA(op) && op != kSetTable) fetched[a] = nullptr;
  }
  for (const Prototype& child : p.children) Collect(child, out, false);
}

int Writer(lua_State*, const void* data, std::size_t size, void* target) {
  static_cast<std::string*>(target)->append(static_cast<const char*>(data), size);
  return 0;
}

}  // namespace

CompiledChunk CompileChunk(std::string_view code, const std::string& chunk_name) {
  CompiledChunk result;
  StatePtr state(luaL_newstate());
  if (!state) {
    result.error = "not enough memory to compile";
    return result;
  }
  lua_State* L = state.get();
  if (luaL_loadbuffer(L, code.data(), code.size(), chunk_name.c_str()) != 0) {
    const char* message = lua_tostring(L, -1);
    result.error = message != nullptr ? message : "(error object is not a string)";
    return result;
  }
  result.ok = true;
  std::string bytes;
  lua_dump(L, &Writer, &bytes);
  ByteCodeReader reader(bytes);
  Prototype main;
  if (reader.ReadHeader() && reader.ReadFunction(main, 0)) Collect(main, result.globals, true);
  return result;
}

std::optional<LuaMessage> SplitLuaMessage(const std::string& message) {
  // "name:12: text": the first ':' followed by digits and ':'.
  for (std::size_t colon = message.find(':'); colon != std::string::npos;
       colon = message.find(':', colon + 1)) {
    std::size_t end = colon + 1;
    while (end < message.size() && message[end] >= '0' && message[end] <= '9') ++end;
    if (end == colon + 1 || end >= message.size() || message[end] != ':' || end - colon > 10) {
      continue;
    }
    LuaMessage split;
    split.line = std::stoi(message.substr(colon + 1, end - colon - 1));
    std::size_t text = end + 1;
    if (text < message.size() && message[text] == ' ') ++text;
    split.text = message.substr(text);
    return split;
  }
  return std::nullopt;
}

ScriptEnvironment EngineEnvironment() {
  ScriptEnvironment environment;
  StatePtr state(luaL_newstate());
  if (!state || !OpenEnvironment(state.get())) return environment;
  lua_State* L = state.get();
  lua_pushnil(L);
  while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
    lua_pop(L, 1);
    if (lua_type(L, -1) == LUA_TSTRING) {
      std::size_t length = 0;
      const char* name = lua_tolstring(L, -1, &length);
      environment.globals.emplace_back(name, length);
    }
  }
  lua_getglobal(L, "package");
  if (lua_istable(L, -1)) {
    lua_getfield(L, -1, "path");
    if (lua_type(L, -1) == LUA_TSTRING) environment.package_path = lua_tostring(L, -1);
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return environment;
}

bool IsLuaName(std::string_view name) {
  static constexpr const char* kKeywords[] = {
      "and", "break",    "do",     "else", "elseif", "end",   "false",
      "for", "function", "if",     "in",   "local",  "nil",   "not",
      "or",  "repeat",   "return", "then", "true",   "until", "while",
  };
  if (name.empty()) return false;
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  if (!letter(name[0])) return false;
  for (char c : name) {
    if (!letter(c) && !(c >= '0' && c <= '9')) return false;
  }
  for (const char* keyword : kKeywords) {
    if (name == keyword) return false;
  }
  return true;
}

}  // namespace tessel::check
