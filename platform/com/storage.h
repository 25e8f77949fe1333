// Structured storage: compound files holding storages (folders, each with a class identifier)
// and streams (byte sequences), the IStorage and IStream interfaces over them, and
// IPersistStorage, through which an embedded object saves itself into a storage and loads itself
// back. A compound file is read whole when it is opened and written whole, to a temporary file
// renamed over it, when its root storage commits; storages opened inside it share its tree.
#pragma once

#include <cstdint>

#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace platform {

using CLSID = GUID;

inline constexpr DWORD STGM_READ = 0x0, STGM_WRITE = 0x1, STGM_READWRITE = 0x2, STGM_SHARE_EXCLUSIVE = 0x10, STGM_CREATE = 0x1000,
                       STGM_TRANSACTED = 0x10000;
inline constexpr DWORD STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2;

inline constexpr HRESULT STG_E_FILENOTFOUND = HRESULT(0x80030002u);
inline constexpr HRESULT STG_E_ACCESSDENIED = HRESULT(0x80030005u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);
inline constexpr HRESULT STG_E_FILEALREADYEXISTS = HRESULT(0x80030050u);
inline constexpr HRESULT STG_E_INVALIDNAME = HRESULT(0x800300FCu);
inline constexpr HRESULT STG_E_WRITEFAULT = HRESULT(0x8003001Du);
inline constexpr HRESULT STG_E_FILENOTSTORAGE = HRESULT(0x800300FAu);

struct IStream : IUnknown {
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
  virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;
  virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) = 0;

 protected:
  ~IStream() = default;
};

struct IStorage : IUnknown {
  // STGM_CREATE replaces an element of that name; without it an existing one is
  // STG_E_FILEALREADYEXISTS.
  virtual HRESULT CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2, IStream** stream) = 0;
  virtual HRESULT OpenStream(const OLECHAR* name, void* reserved1, DWORD mode, DWORD reserved2, IStream** stream) = 0;
  virtual HRESULT CreateStorage(const OLECHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2, IStorage** storage) = 0;
  virtual HRESULT OpenStorage(const OLECHAR* name, IStorage* priority, DWORD mode, void* exclude, DWORD reserved, IStorage** storage) = 0;
  // The root storage writes its compound file; a storage inside it has nothing of its own to write.
  virtual HRESULT Commit(DWORD flags) = 0;
  virtual HRESULT SetClass(const CLSID& clsid) = 0;
  virtual HRESULT GetClass(CLSID* clsid) = 0;  // the class identifier the storage carries

 protected:
  ~IStorage() = default;
};

struct IPersistStorage : IUnknown {
  virtual HRESULT GetClassID(CLSID* clsid) = 0;
  virtual HRESULT IsDirty() = 0;
  virtual HRESULT InitNew(IStorage* storage) = 0;
  virtual HRESULT Load(IStorage* storage) = 0;
  virtual HRESULT Save(IStorage* storage, BOOL sameAsLoad) = 0;
  virtual HRESULT SaveCompleted(IStorage* storage) = 0;
  virtual HRESULT HandsOffStorage() = 0;

 protected:
  ~IPersistStorage() = default;
};

inline constexpr IID IID_IStream{0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IStorage{0x0000000B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistStorage{0x0000010A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A new compound file (STGM_CREATE replaces one that exists; a null path makes one that lives
// in memory only), or an existing one opened; the root storage comes back. Paths are in the
// file system's encoding. STG_E_FILENOTFOUND, STG_E_FILENOTSTORAGE for a file that is not a
// compound file.
HRESULT StgCreateDocfile(const char* path, DWORD mode, DWORD reserved, IStorage** storage);
HRESULT StgOpenStorage(const char* path, IStorage* priority, DWORD mode, void* exclude, DWORD reserved, IStorage** storage);
// The class identifier a storage carries.
HRESULT WriteClassStg(IStorage* storage, const CLSID& clsid);
HRESULT ReadClassStg(IStorage* storage, CLSID* clsid);

}  // namespace platform
