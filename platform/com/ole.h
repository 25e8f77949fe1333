// Embedding: the interfaces through which a container and an embedded object meet. The object
// (IOleObject) is given the container's client site (IOleClientSite), says through its
// miscellaneous status whether it wants that site before it is initialised, and is closed when
// the container lets it go; OleRun puts an object that can be in a loaded-but-not-running state
// (IRunnableObject) into its running state. OleCreate and OleLoad make an insertable object
// embedded in one step. CoInitialize and CoUninitialize are counted per
// thread.
#pragma once

#include "platform/com/hresult.h"
#include "platform/com/storage.h"
#include "platform/com/unknown.h"

namespace platform {

inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;
inline constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0, OLECLOSE_NOSAVE = 1;

struct IOleClientSite : IUnknown {
  virtual HRESULT SaveObject() = 0;
  virtual HRESULT ShowObject() = 0;
  virtual HRESULT OnShowWindow(BOOL show) = 0;

 protected:
  ~IOleClientSite() = default;
};

struct IOleObject : IUnknown {
  virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
  virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
  virtual HRESULT Close(DWORD saveOption) = 0;
  virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;

 protected:
  ~IOleObject() = default;
};

struct IRunnableObject : IUnknown {
  virtual BOOL IsRunning() = 0;
  virtual HRESULT Run(void* bindContext) = 0;

 protected:
  ~IRunnableObject() = default;
};

inline constexpr IID IID_IOleObject{0x00000112, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleClientSite{0x00000118, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IRunnableObject{0x00000126, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

inline constexpr DWORD OLERENDER_NONE = 0, OLERENDER_DRAW = 1;

// An insertable object of the class, made embedded: given the client site before or after its
// initialisation in the storage (InitNew) as its miscellaneous status asks; `iid` is the
// interface handed back. OleLoad does the same with an object of the class the storage names,
// loaded from it. E_NOINTERFACE for a class whose objects cannot be embedded.
HRESULT OleCreate(const CLSID& clsid, const IID& iid, DWORD render, void* format, IOleClientSite* site, IStorage* storage, void** object);
HRESULT OleLoad(IStorage* storage, const IID& iid, IOleClientSite* site, void** object);

// Runs the object when it is runnable and not running yet; S_OK for objects that are always
// running.
HRESULT OleRun(IUnknown* object);

// The component model for the calling thread: the first CoInitialize answers S_OK, later ones
// S_FALSE; each is matched by a CoUninitialize. CoInitializeCount says how many are open.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
int CoInitializeCount();

}  // namespace platform
