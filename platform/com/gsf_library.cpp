// libgsf (compound files here, the zip container of workbooks in the grid) is loaded on the first
// call of one of its functions, not at program start (lazy_library.h says why). These are all the
// functions of libgsf and GObject the program calls; GObject comes with libgsf and is found
// through its handle. GLib's own functions (g_clear_error) are linked as usual: the Qt backend
// loads GLib at start anyway.
#include <gsf/gsf.h>

#include "platform/system/lazy_library.h"

namespace {
platform::LazyLibrary gsf("libgsf-1.so.114");
}  // namespace

LAZY_LIBRARY_FORWARD(gsf, GsfInput*, gsf_input_stdio_new, (char const* filename, GError** err), (filename, err), nullptr)
LAZY_LIBRARY_FORWARD(gsf, gsf_off_t, gsf_input_size, (GsfInput * input), (input), -1)
LAZY_LIBRARY_FORWARD(gsf, guint8 const*, gsf_input_read, (GsfInput * input, size_t bytes, guint8* buffer), (input, bytes, buffer), nullptr)
LAZY_LIBRARY_FORWARD(gsf, GType, gsf_infile_get_type, (void), (), 0)
LAZY_LIBRARY_FORWARD(gsf, int, gsf_infile_num_children, (GsfInfile * infile), (infile), -1)
LAZY_LIBRARY_FORWARD(gsf, char const*, gsf_infile_name_by_index, (GsfInfile * infile, int i), (infile, i), nullptr)
LAZY_LIBRARY_FORWARD(gsf, GsfInput*, gsf_infile_child_by_index, (GsfInfile * infile, int i), (infile, i), nullptr)
LAZY_LIBRARY_FORWARD(gsf, GsfInput*, gsf_infile_child_by_name, (GsfInfile * infile, char const* name), (infile, name), nullptr)
LAZY_LIBRARY_FORWARD(gsf, GsfInfile*, gsf_infile_zip_new, (GsfInput * source, GError** err), (source, err), nullptr)
LAZY_LIBRARY_FORWARD(gsf, GType, gsf_infile_msole_get_type, (void), (), 0)
LAZY_LIBRARY_FORWARD(gsf, GsfInfile*, gsf_infile_msole_new, (GsfInput * source, GError** err), (source, err), nullptr)
LAZY_LIBRARY_FORWARD(gsf, gboolean, gsf_infile_msole_get_class_id, (GsfInfileMSOle const* ole, guint8* res), (ole, res), FALSE)
LAZY_LIBRARY_FORWARD(gsf, GType, gsf_output_get_type, (void), (), 0)
LAZY_LIBRARY_FORWARD(gsf, GsfOutput*, gsf_output_stdio_new, (char const* filename, GError** err), (filename, err), nullptr)
LAZY_LIBRARY_FORWARD(gsf, gboolean, gsf_output_write, (GsfOutput * output, size_t bytes, guint8 const* data), (output, bytes, data), FALSE)
LAZY_LIBRARY_FORWARD(gsf, gboolean, gsf_output_close, (GsfOutput * output), (output), FALSE)
LAZY_LIBRARY_FORWARD(gsf, gboolean, gsf_output_is_closed, (GsfOutput const* output), (output), TRUE)
LAZY_LIBRARY_FORWARD(gsf, GType, gsf_outfile_get_type, (void), (), 0)
LAZY_LIBRARY_FORWARD(gsf, GsfOutput*, gsf_outfile_new_child, (GsfOutfile * outfile, char const* name, gboolean isDir), (outfile, name, isDir),
                     nullptr)
LAZY_LIBRARY_FORWARD(gsf, GType, gsf_outfile_msole_get_type, (void), (), 0)
LAZY_LIBRARY_FORWARD(gsf, GsfOutfile*, gsf_outfile_msole_new, (GsfOutput * sink), (sink), nullptr)
LAZY_LIBRARY_FORWARD(gsf, gboolean, gsf_outfile_msole_set_class_id, (GsfOutfileMSOle * ole, guint8 const* clsid), (ole, clsid), FALSE)
LAZY_LIBRARY_FORWARD(gsf, void, g_object_unref, (gpointer object), (object), LAZY_LIBRARY_NO_RESULT)
LAZY_LIBRARY_FORWARD(gsf, GTypeInstance*, g_type_check_instance_cast, (GTypeInstance * instance, GType type), (instance, type), nullptr)
LAZY_LIBRARY_FORWARD(gsf, gboolean, g_type_check_instance_is_a, (GTypeInstance * instance, GType type), (instance, type), FALSE)
