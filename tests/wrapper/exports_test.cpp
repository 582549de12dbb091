// lumivexctl.dll as a client built separately from it sees it: loaded with LoadLibraryA, the
// operation table and field list found with GetProcAddress, an object made from the field list and
// the operations called through the table at their documented places. Nothing here links against
// the library.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumivexctl/lumivexcontrol.h"
#include "standin_log.h"
#include "test_host_window.h"
#include "viewer_protocol.h"

namespace lvx::test {
namespace {

// The operations' symbols in table order: operation name, class name and parameter kinds.
const std::array<const char*, 16> kOperationSymbols = {
    "_ZN14LUMIVEXCONTROL4INITER13LvxHostWindows",
    "_ZN14LUMIVEXCONTROL4KILLEv",
    "_ZN14LUMIVEXCONTROL8LOADFILEE15LvxOptionalText",
    "_ZN14LUMIVEXCONTROL10APPENDFILEE15LvxOptionalText",
    "_ZN14LUMIVEXCONTROL9CLEARVIEWEv",
    "_ZN14LUMIVEXCONTROL9SHOWABOUTEv",
    "_ZN14LUMIVEXCONTROL18DOCUMENTPROPERTIESEv",
    "_ZN14LUMIVEXCONTROL7SETZOOMEi",
    "_ZN14LUMIVEXCONTROL12DISABLEPRINTEi",
    "_ZN14LUMIVEXCONTROL8FINDTEXTE7LvxTexthhhh",
    "_ZN14LUMIVEXCONTROL6_PRINTEh16LvxOptionalInt32S0_",
    "_ZN14LUMIVEXCONTROL14PRINTTOPRINTERE7LvxText16LvxOptionalInt32S1_",
    "_ZN14LUMIVEXCONTROL24SETVIEWCONTROLPROPERTIESEv",
    "_ZN14LUMIVEXCONTROL12GETPAGECOUNTEv",
    "_ZN14LUMIVEXCONTROL13GETTEXTLENGTHE16LvxOptionalInt32",
    "_ZN14LUMIVEXCONTROL7GETTEXTE12LvxTextField16LvxOptionalInt32",
};

enum Slot { kInit = 0, kKill = 1, kSetZoom = 7, kSetViewControlProperties = 12 };

using InitOperation = std::int32_t(__thiscall*)(void*, LvxHostWindow*, std::int16_t);
using PlainOperation = void(__thiscall*)(void*);
using CodeOperation = void(__thiscall*)(void*, std::int32_t);

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library = LoadLibraryA("lumivexctl.dll");
    ASSERT_NE(library, nullptr) << "GetLastError " << GetLastError();
    fields = static_cast<const LvxFieldList*>(Find("LUMIVEXCONTROL_FIELDS"));
    auto* const* operations = static_cast<void* const* const*>(Find("LUMIVEXCONTROL_OPERATIONS"));
    ASSERT_NE(fields, nullptr);
    ASSERT_NE(operations, nullptr);
    table = *operations;
    ASSERT_NE(table, nullptr) << "the library announces its operation table when loaded";
  }

  void TearDown() override {
    if (library != nullptr) {
      FreeLibrary(library);
    }
  }

  void* Find(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
  }

  const LvxFieldInfo* Field(const char* name) const {
    for (std::int32_t i = 0; i < fields->count; ++i) {
      if (std::strcmp(fields->fields[i].name, name) == 0) {
        return &fields->fields[i];
      }
    }
    return nullptr;
  }

  // A cleared object made from the field list, with the operation table attached.
  [[nodiscard]] std::vector<unsigned char> MakeObject() const {
    std::vector<unsigned char> object(static_cast<std::size_t>(fields->objectSize), 0);
    std::memcpy(object.data(), &table, sizeof table);
    return object;
  }

  template <typename Field>
  static Field Read(const std::vector<unsigned char>& object, const LvxFieldInfo* info) {
    Field value{};
    std::memcpy(&value, object.data() + info->offset, sizeof value);
    return value;
  }

  HMODULE library = nullptr;
  const LvxFieldList* fields = nullptr;
  void* const* table = nullptr;
};

TEST_F(ExportsTest, EveryOperationIsExportedAtItsPlaceInTheTable) {
  for (std::size_t slot = 0; slot < kOperationSymbols.size(); ++slot) {
    void* exported = Find(kOperationSymbols[slot]);
    ASSERT_NE(exported, nullptr) << kOperationSymbols[slot];
    EXPECT_EQ(table[slot], exported) << "slot " << slot << " should be " << kOperationSymbols[slot];
  }
}

TEST_F(ExportsTest, FieldListNamesTheFieldsInDeclaredOrderWithTheirWidths) {
  struct Expected {
    const char* name;
    std::int32_t type;
    std::int32_t size;
  };
  const std::array<Expected, 9> expected = {{
      {"HWINDOW", LVX_FIELD_INT32, 4},
      // An address: as wide as a pointer.
      {"LIBHANDLE", sizeof(void*) == 8 ? LVX_FIELD_INT64 : LVX_FIELD_INT32,
       static_cast<std::int32_t>(sizeof(void*))},
      {"LUMIVEXCLASSNAME", LVX_FIELD_CSTRING, 64},
      {"LUMIVEXDLLNAME", LVX_FIELD_CSTRING, 64},
      {"TVHORZSCROLLBAR", LVX_FIELD_UINT8, 1},
      {"TVVERTSCROLLBAR", LVX_FIELD_UINT8, 1},
      {"TVPROPERTYPANEL", LVX_FIELD_UINT8, 1},
      {"TVNAVIGATIONPANEL", LVX_FIELD_UINT8, 1},
      {"TVVIEWPANEL", LVX_FIELD_UINT8, 1},
  }};
  ASSERT_EQ(fields->count, static_cast<std::int32_t>(expected.size()));
  auto end = static_cast<std::int32_t>(sizeof(void*));  // after the table pointer
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const LvxFieldInfo& field = fields->fields[i];
    EXPECT_STREQ(field.name, expected[i].name);
    EXPECT_EQ(field.type, expected[i].type) << field.name;
    EXPECT_EQ(field.size, expected[i].size) << field.name;
    // Each field follows the previous one at its natural alignment (text has none).
    const std::int32_t alignment = field.type == LVX_FIELD_CSTRING ? 1 : field.size;
    EXPECT_EQ(field.offset, (end + alignment - 1) / alignment * alignment)
        << field.name << " follows the previous field";
    end = field.offset + field.size;
  }
  EXPECT_GE(fields->objectSize, end);
}

TEST_F(ExportsTest, AnObjectMadeFromTheRecordsStartsAndStopsTheViewer) {
  TestHostWindow host;
  LvxWin32Host adapter(host.Window());
  std::vector<unsigned char> object = MakeObject();
  object[static_cast<std::size_t>(Field("TVVERTSCROLLBAR")->offset)] = 1;
  object[static_cast<std::size_t>(Field("TVPROPERTYPANEL")->offset)] = 1;

  ClearStandinLog();
  const auto init = reinterpret_cast<InitOperation>(table[kInit]);
  const std::int32_t window = init(object.data(), &adapter, kPlaceholderId);
  ASSERT_NE(window, 0);
  EXPECT_EQ(Read<std::int32_t>(object, Field("HWINDOW")), window);
  EXPECT_EQ(Read<LvxAddressValue>(object, Field("LIBHANDLE")),
            reinterpret_cast<LvxAddressValue>(GetModuleHandleA("Lumivex01.dll")));
  EXPECT_STREQ(reinterpret_cast<const char*>(object.data() + Field("LUMIVEXDLLNAME")->offset),
               "Lumivex01.dll");
  EXPECT_STREQ(reinterpret_cast<const char*>(object.data() + Field("LUMIVEXCLASSNAME")->offset),
               "Tarnvik_LUMIVEX_01");

  object[static_cast<std::size_t>(Field("TVVIEWPANEL")->offset)] = 1;
  reinterpret_cast<PlainOperation>(table[kSetViewControlProperties])(object.data());
  reinterpret_cast<CodeOperation>(table[kSetZoom])(object.data(), 46);

  const std::vector<LoggedMessage> expected = {
      {WM_VIEWER_COMMAND, 50, 1 + 16, ""},
      {WM_VIEWER_COMMAND, 50, 1 + 4 + 16, ""},
      {WM_VIEWER_COMMAND, 46, 0, ""},
  };
  EXPECT_EQ(StandinMessages(), expected);

  reinterpret_cast<PlainOperation>(table[kKill])(object.data());
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(window))));
  EXPECT_EQ(GetModuleHandleA("Lumivex01.dll"), nullptr);
}

// A host built from a service table of its own, whose services are not declared noexcept (a host
// in another language, or a program compiled before the header declared them so): the same seven
// services in the same order, so its table is the one INIT calls. Its SetControlWindow adopts
// the window and then throws.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
class ThrowingHost final {
 public:
  explicit ThrowingHost(HWND parent) : inner_(parent) {}
  virtual void SetPixelUnits(std::uint8_t on) { inner_.SetPixelUnits(on); }
  virtual void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y,
                               std::int32_t* width, std::int32_t* height) {
    inner_.ControlPosition(control, x, y, width, height);
  }
  virtual std::int32_t ClientWindow() { return inner_.ClientWindow(); }
  virtual LvxAddressValue InstanceHandle() { return inner_.InstanceHandle(); }
  virtual std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) {
    inner_.SetControlWindow(control, window);
    throw std::runtime_error("the host failed to adopt the viewer");
  }
  virtual std::int32_t ControlWindow(std::int16_t control) { return inner_.ControlWindow(control); }
  virtual void ShowMessage(const char* text) { inner_.ShowMessage(text); }

 private:
  LvxWin32Host inner_;
};

// The services are noexcept: an exception from one ends the program through std::terminate, in
// both architectures, rather than unwinding into the library (which in a 32-bit program it cannot
// do: the program's unwinder does not see the library's frames). Checked in a child process.
TEST_F(ExportsTest, AHostServiceThatThrowsEndsTheProgram) {
  const auto init = reinterpret_cast<InitOperation>(table[kInit]);
  const auto start = [&] {
    TestHostWindow host;
    ThrowingHost throwing(host.Window());
    std::vector<unsigned char> object = MakeObject();
    init(object.data(), reinterpret_cast<LvxHostWindow*>(&throwing), kPlaceholderId);
    std::fputs("INIT returned\n", stderr);
    std::exit(0);
  };
  EXPECT_EXIT(start(), ::testing::ExitedWithCode(3), "terminate called");
}

}  // namespace
}  // namespace lvx::test
