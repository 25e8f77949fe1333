// Persistence of hosted objects: SaveAs into a storage of a compound file and Open from it (the
// class comes from the storage, the state from the object's own stream), other storages of the
// file kept, storage names without "\!" refused with 10000, and Blob giving a whole compound
// file that the library reads back.
#include <gtest/gtest.h>

#include "runtime/core/error_state.h"
#include "runtime/window/control_access.h"
#include "tests/ole/ole_test.h"

// After the platform's headers: the library's headers define TRUE and FALSE as macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>

namespace tamsil::testing {
namespace {

using namespace window;
using Status = PropertyStatus;

class PersistenceTest : public OleTest {
 protected:
  Status put(const std::string& path, const std::string& value) { return PropertyPut(w, kOle, 0, Selector{path}, value); }
  std::string file = (profile_.path() / "file.stg").string();
};

TEST_F(PersistenceTest, AnObjectSavedAsOpensAgainWithItsState) {
  ASSERT_EQ(put("Value", "kept"), Status::Ok);
  ASSERT_EQ(set(prop::SaveAs, file + "\\!grid"), Status::Ok);
  ASSERT_EQ(put("Value", "other"), Status::Ok);
  ASSERT_EQ(set(prop::SaveAs, file + "\\!second"), Status::Ok);  // the file is opened again, "grid" stays
  ASSERT_EQ(set(prop::Release, ""), Status::Ok);
  ASSERT_EQ(call("Value"), "No ole automation interface");

  log->clear();
  ASSERT_EQ(set(prop::Open, file + "\\!grid"), Status::Ok);
  EXPECT_EQ(call("Value"), "kept");
  EXPECT_EQ(*log, (Log{"run", "persist Load", "lookup Value", "invoke 1 M|G ()"}));
  EXPECT_EQ(get(prop::ProgID), kRecorderProgId);  // the class the storage names
  ASSERT_EQ(set(prop::Open, file + "\\!second"), Status::Ok);
  EXPECT_EQ(call("Value"), "other");
}

TEST_F(PersistenceTest, StorageNamesNeedTheirSeparatorAndMustExist) {
  for (const std::uint16_t number : {prop::SaveAs, prop::Open}) {
    clearError();
    EXPECT_EQ(set(number, file), Status::BadValue);
    EXPECT_EQ(currentErrorState().code, ole::kBadStorageName);
  }
  EXPECT_EQ(set(prop::Open, file + "\\!nothing"), Status::BadValue);  // no such file yet
  ASSERT_EQ(set(prop::SaveAs, file + "\\!grid"), Status::Ok);
  EXPECT_EQ(set(prop::Open, file + "\\!nothing"), Status::BadValue);  // no such storage
  EXPECT_EQ(call("Echo(1)"), "1");                                    // a failed Open leaves the object as it was
}

TEST_F(PersistenceTest, ANewObjectStartsInAStorageOfItsOwn) {
  log->clear();
  ASSERT_EQ(set(prop::Create, kRecorderProgId), Status::Ok);
  EXPECT_EQ(*log, (Log{"run", "persist InitNew"}));
}

TEST_F(PersistenceTest, BlobIsACompoundFileHoldingTheObjectInStorageBlob) {
  ASSERT_EQ(put("Value", "in a blob"), Status::Ok);
  const std::string bytes = get(prop::Blob);
  ASSERT_GT(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 4), "\xD0\xCF\x11\xE0");
  GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()), gsf_off_t(bytes.size()), FALSE);
  GError* error = nullptr;
  GsfInfile* compound = gsf_infile_msole_new(input, &error);
  ASSERT_NE(compound, nullptr);
  GsfInput* blob = gsf_infile_child_by_name(compound, "blob");
  ASSERT_NE(blob, nullptr);
  GsfInput* contents = gsf_infile_child_by_name(GSF_INFILE(blob), "Contents");
  ASSERT_NE(contents, nullptr);
  std::string text(std::size_t(gsf_input_size(contents)), '\0');
  gsf_input_read(contents, text.size(), reinterpret_cast<guint8*>(text.data()));
  EXPECT_EQ(text, "in a blob");
  g_object_unref(contents);
  g_object_unref(blob);
  g_object_unref(compound);
  g_object_unref(input);
}

}  // namespace
}  // namespace tamsil::testing
