#include "platform/com/storage.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/wide_text.h"

namespace platform {

namespace {

// One element of a compound file: a storage with children and a class identifier, or a stream.
struct Node {
  bool storage = true;
  CLSID clsid{};
  std::map<std::string, std::shared_ptr<Node>> children;  // by UTF-8 name
  std::vector<std::uint8_t> bytes;
};

// The file a tree was read from and is written back to.
struct CompoundFile {
  std::string path;
  std::shared_ptr<Node> root = std::make_shared<Node>();
};

// Class identifiers as compound files store them: the three numbers little-endian, then the bytes.
void clsidToBytes(const CLSID& c, std::uint8_t out[16]) {
  for (int i = 0; i < 4; ++i) out[i] = std::uint8_t(c.Data1 >> (8 * i));
  out[4] = std::uint8_t(c.Data2), out[5] = std::uint8_t(c.Data2 >> 8);
  out[6] = std::uint8_t(c.Data3), out[7] = std::uint8_t(c.Data3 >> 8);
  std::memcpy(out + 8, c.Data4, 8);
}

CLSID clsidFromBytes(const std::uint8_t b[16]) {
  CLSID c;
  c.Data1 = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  c.Data2 = std::uint16_t(b[4] | b[5] << 8);
  c.Data3 = std::uint16_t(b[6] | b[7] << 8);
  std::memcpy(c.Data4, b + 8, 8);
  return c;
}

// Element names travel as UTF-16 in the interfaces and UTF-8 in the library.
std::string utf8(const OLECHAR* name) {
  std::string out;
  for (; name && *name; ++name) {
    const char16_t u = *name;
    if (u < 0x80) out += char(u);
    else if (u < 0x800) out += char(0xC0 | u >> 6), out += char(0x80 | (u & 0x3F));
    else out += char(0xE0 | u >> 12), out += char(0x80 | ((u >> 6) & 0x3F)), out += char(0x80 | (u & 0x3F));
  }
  return out;
}

void readTree(GsfInfile* in, Node& node) {
  if (GSF_IS_INFILE_MSOLE(in)) {
    std::uint8_t id[16] = {};
    if (gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(in), id)) node.clsid = clsidFromBytes(id);
  }
  const int count = gsf_infile_num_children(in);
  for (int i = 0; i < count; ++i) {
    GsfInput* child = gsf_infile_child_by_index(in, i);
    if (!child) continue;
    auto n = std::make_shared<Node>();
    const char* name = gsf_infile_name_by_index(in, i);
    if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
      readTree(GSF_INFILE(child), *n);
    } else {
      n->storage = false;
      n->bytes.resize(std::size_t(gsf_input_size(child)));
      if (!n->bytes.empty()) gsf_input_read(child, n->bytes.size(), n->bytes.data());
    }
    node.children[name ? name : ""] = std::move(n);
    g_object_unref(child);
  }
}

bool writeTree(GsfOutfile* out, const Node& node) {
  std::uint8_t id[16];
  clsidToBytes(node.clsid, id);
  if (GSF_IS_OUTFILE_MSOLE(out)) gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(out), id);
  bool ok = true;
  for (const auto& [name, child] : node.children) {
    GsfOutput* o = gsf_outfile_new_child(out, name.c_str(), child->storage);
    if (!o) return false;
    if (child->storage) ok = writeTree(GSF_OUTFILE(o), *child) && ok;
    else if (!child->bytes.empty()) ok = gsf_output_write(o, child->bytes.size(), child->bytes.data()) && ok;
    ok = gsf_output_close(o) && ok;
    g_object_unref(o);
  }
  return ok;
}

HRESULT load(CompoundFile& file) {
  GError* error = nullptr;
  GsfInput* input = gsf_input_stdio_new(file.path.c_str(), &error);
  if (!input) return g_clear_error(&error), STG_E_FILENOTFOUND;
  GsfInfile* infile = gsf_infile_msole_new(input, &error);
  g_object_unref(input);
  if (!infile) return g_clear_error(&error), STG_E_FILENOTSTORAGE;
  readTree(infile, *file.root);
  g_object_unref(infile);
  return S_OK;
}

HRESULT save(const CompoundFile& file) {
  if (file.path.empty()) return S_OK;  // a storage in memory only
  const std::string temporary = file.path + ".tmp";
  GError* error = nullptr;
  GsfOutput* output = gsf_output_stdio_new(temporary.c_str(), &error);
  if (!output) return g_clear_error(&error), STG_E_ACCESSDENIED;
  GsfOutfile* outfile = gsf_outfile_msole_new(output);
  bool ok = outfile && writeTree(outfile, *file.root);
  if (outfile) ok = gsf_output_close(GSF_OUTPUT(outfile)) && ok, g_object_unref(outfile);
  if (!gsf_output_is_closed(output)) ok = gsf_output_close(output) && ok;  // closing the outfile closes it
  g_object_unref(output);
  if (!ok || std::rename(temporary.c_str(), file.path.c_str()) != 0) {
    unlink(temporary.c_str());
    return STG_E_WRITEFAULT;
  }
  return S_OK;
}

class Stream final : public ComObject<Implements<IStream, IID_IStream>> {
 public:
  explicit Stream(std::shared_ptr<Node> node) : node_(std::move(node)) {}
  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    const std::size_t n = position_ < node_->bytes.size() ? std::min<std::size_t>(size, node_->bytes.size() - position_) : 0;
    if (n) std::memcpy(buffer, node_->bytes.data() + position_, n);
    position_ += n;
    if (read) *read = ULONG(n);
    return n == size ? S_OK : S_FALSE;
  }
  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
    if (node_->bytes.size() < position_ + size) node_->bytes.resize(position_ + size);
    if (size) std::memcpy(node_->bytes.data() + position_, buffer, size);
    position_ += size;
    if (written) *written = size;
    return S_OK;
  }
  HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* position) override {
    const std::int64_t base = origin == STREAM_SEEK_SET   ? 0
                              : origin == STREAM_SEEK_CUR ? std::int64_t(position_)
                                                          : std::int64_t(node_->bytes.size());
    if (origin > STREAM_SEEK_END || base + move < 0) return STG_E_INVALIDFUNCTION;
    position_ = std::size_t(base + move);
    if (position) *position = position_;
    return S_OK;
  }

 private:
  ~Stream() override = default;
  std::shared_ptr<Node> node_;
  std::size_t position_ = 0;
};

class Storage final : public ComObject<Implements<IStorage, IID_IStorage>> {
 public:
  Storage(std::shared_ptr<CompoundFile> file, std::shared_ptr<Node> node) : file_(std::move(file)), node_(std::move(node)) {}
  HRESULT CreateStream(const OLECHAR* name, DWORD mode, DWORD, DWORD, IStream** stream) override {
    std::shared_ptr<Node> n;
    if (const HRESULT hr = create(name, mode, false, n); FAILED(hr)) return *stream = nullptr, hr;
    return hand(new Stream(n), stream);
  }
  HRESULT OpenStream(const OLECHAR* name, void*, DWORD, DWORD, IStream** stream) override {
    const auto n = find(name, false);
    if (!n) return *stream = nullptr, STG_E_FILENOTFOUND;
    return hand(new Stream(n), stream);
  }
  HRESULT CreateStorage(const OLECHAR* name, DWORD mode, DWORD, DWORD, IStorage** storage) override {
    std::shared_ptr<Node> n;
    if (const HRESULT hr = create(name, mode, true, n); FAILED(hr)) return *storage = nullptr, hr;
    return hand(new Storage(file_, n), storage);
  }
  HRESULT OpenStorage(const OLECHAR* name, IStorage*, DWORD, void*, DWORD, IStorage** storage) override {
    const auto n = find(name, true);
    if (!n) return *storage = nullptr, STG_E_FILENOTFOUND;
    return hand(new Storage(file_, n), storage);
  }
  HRESULT Commit(DWORD) override { return node_ == file_->root ? save(*file_) : S_OK; }
  HRESULT SetClass(const CLSID& clsid) override { return node_->clsid = clsid, S_OK; }
  HRESULT GetClass(CLSID* clsid) override { return *clsid = node_->clsid, S_OK; }

 private:
  ~Storage() override = default;

  template <class I, class T>
  static HRESULT hand(T* made, I** out) {
    made->AddRef();
    *out = made;
    return S_OK;
  }
  std::shared_ptr<Node> find(const OLECHAR* name, bool storage) const {
    const auto it = node_->children.find(utf8(name));
    return it != node_->children.end() && it->second->storage == storage ? it->second : nullptr;
  }
  HRESULT create(const OLECHAR* name, DWORD mode, bool storage, std::shared_ptr<Node>& made) {
    const std::string key = utf8(name);
    if (key.empty() || key.size() > 31 * 3) return STG_E_INVALIDNAME;  // at most 31 characters
    if (node_->children.count(key) && !(mode & STGM_CREATE)) return STG_E_FILEALREADYEXISTS;
    made = std::make_shared<Node>();
    made->storage = storage;
    node_->children[key] = made;
    return S_OK;
  }

  std::shared_ptr<CompoundFile> file_;
  std::shared_ptr<Node> node_;
};

IStorage* rootOf(const std::shared_ptr<CompoundFile>& file) {
  auto* s = new Storage(file, file->root);
  s->AddRef();
  return s;
}

}  // namespace

HRESULT StgCreateDocfile(const char* path, DWORD mode, DWORD, IStorage** storage) {
  *storage = nullptr;
  auto file = std::make_shared<CompoundFile>();
  file->path = path ? path : "";
  if (path && !(mode & STGM_CREATE) && access(path, F_OK) == 0) return STG_E_FILEALREADYEXISTS;
  // The file exists from now on, empty, as with the real platform.
  if (const HRESULT hr = save(*file); FAILED(hr)) return hr;
  *storage = rootOf(file);
  return S_OK;
}

HRESULT StgOpenStorage(const char* path, IStorage*, DWORD, void*, DWORD, IStorage** storage) {
  *storage = nullptr;
  if (!path) return STG_E_INVALIDNAME;
  auto file = std::make_shared<CompoundFile>();
  file->path = path;
  if (const HRESULT hr = load(*file); FAILED(hr)) return hr;
  *storage = rootOf(file);
  return S_OK;
}

HRESULT WriteClassStg(IStorage* storage, const CLSID& clsid) { return storage ? storage->SetClass(clsid) : E_INVALIDARG; }
HRESULT ReadClassStg(IStorage* storage, CLSID* clsid) { return storage && clsid ? storage->GetClass(clsid) : E_INVALIDARG; }

}  // namespace platform
