// Compound files: storages and streams written, committed and read back from the file, elements
// replaced only with STGM_CREATE, class identifiers kept, and files that are no compound files.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/com/com_ptr.h"
#include "platform/com/storage.h"
#include "tests/support/temp_profile.h"

namespace platform {
namespace {

constexpr DWORD kWrite = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr CLSID kClass{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};

class StorageTest : public ::testing::Test {
 protected:
  kestrel::testing::TempProfileDir dir_{"storage_test"};
  std::string path = (dir_.path() / "doc.stg").string();
};

TEST_F(StorageTest, WhatIsCommittedIsReadBackFromTheFile) {
  {
    ComPtr<IStorage> root, inner;
    ComPtr<IStream> stream;
    ASSERT_EQ(StgCreateDocfile(path.c_str(), kWrite | STGM_CREATE, 0, reinterpret_cast<IStorage**>(root.put())), S_OK);
    ASSERT_EQ(root->CreateStorage(u"grid", kWrite, 0, 0, reinterpret_cast<IStorage**>(inner.put())), S_OK);
    ASSERT_EQ(WriteClassStg(inner.get(), kClass), S_OK);
    ASSERT_EQ(inner->CreateStream(u"Contents", kWrite, 0, 0, reinterpret_cast<IStream**>(stream.put())), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stream->Write("hello", 5, &written), S_OK);
    EXPECT_EQ(written, 5u);
    ComPtr<IStorage> again;
    EXPECT_EQ(root->CreateStorage(u"grid", kWrite, 0, 0, reinterpret_cast<IStorage**>(again.put())), STG_E_FILEALREADYEXISTS);
    ASSERT_EQ(root->Commit(0), S_OK);
  }
  ComPtr<IStorage> root, inner;
  ComPtr<IStream> stream;
  ASSERT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, reinterpret_cast<IStorage**>(root.put())), S_OK);
  ASSERT_EQ(root->OpenStorage(u"grid", nullptr, STGM_READ, nullptr, 0, reinterpret_cast<IStorage**>(inner.put())), S_OK);
  CLSID read{};
  EXPECT_EQ(ReadClassStg(inner.get(), &read), S_OK);
  EXPECT_EQ(read, kClass);
  ASSERT_EQ(inner->OpenStream(u"Contents", nullptr, STGM_READ, 0, reinterpret_cast<IStream**>(stream.put())), S_OK);
  char text[16] = {};
  ULONG got = 0;
  EXPECT_EQ(stream->Read(text, sizeof text, &got), S_FALSE);  // fewer bytes than asked for
  EXPECT_EQ(std::string(text, got), "hello");
  std::uint64_t at = 0;
  EXPECT_EQ(stream->Seek(1, STREAM_SEEK_SET, &at), S_OK);
  EXPECT_EQ(stream->Read(text, 4, &got), S_OK);
  EXPECT_EQ(std::string(text, got), "ello");
  EXPECT_EQ(stream->Seek(-10, STREAM_SEEK_CUR, &at), STG_E_INVALIDFUNCTION);
  ComPtr<IStorage> missing;
  EXPECT_EQ(root->OpenStorage(u"Contents", nullptr, STGM_READ, nullptr, 0, reinterpret_cast<IStorage**>(missing.put())), STG_E_FILENOTFOUND);
}

TEST_F(StorageTest, FilesThatAreNoCompoundFilesAreRefused) {
  ComPtr<IStorage> root;
  EXPECT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, reinterpret_cast<IStorage**>(root.put())), STG_E_FILENOTFOUND);
  std::ofstream(path) << "plain text, not a compound file";
  EXPECT_EQ(StgOpenStorage(path.c_str(), nullptr, STGM_READ, nullptr, 0, reinterpret_cast<IStorage**>(root.put())), STG_E_FILENOTSTORAGE);
  EXPECT_EQ(StgCreateDocfile(path.c_str(), kWrite, 0, reinterpret_cast<IStorage**>(root.put())), STG_E_FILEALREADYEXISTS);
  EXPECT_EQ(root.get(), nullptr);
  ComPtr<IStorage> memory, inner;
  ASSERT_EQ(StgCreateDocfile(nullptr, kWrite, 0, reinterpret_cast<IStorage**>(memory.put())), S_OK);  // in memory only
  EXPECT_EQ(memory->CreateStorage(u"", kWrite, 0, 0, reinterpret_cast<IStorage**>(inner.put())), STG_E_INVALIDNAME);
  EXPECT_EQ(memory->Commit(0), S_OK);
}

}  // namespace
}  // namespace platform
