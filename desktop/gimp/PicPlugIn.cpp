// The plug-in program: what GIMP asks it at start-up (query) and each run of
// one of its procedures (run). Failures go back to GIMP as the procedure's
// error text, which GIMP shows; nothing is printed.
#include "desktop/gimp/PicPlugIn.h"

#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"

#include <cstring>

namespace {

void Query()
{
    static const GimpParamDef loadArguments[] = {
        {GIMP_PDB_INT32, const_cast<gchar*>("run-mode"),
         const_cast<gchar*>("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1) }")},
        {GIMP_PDB_STRING, const_cast<gchar*>("filename"), const_cast<gchar*>("The name of the file to load")},
        {GIMP_PDB_STRING, const_cast<gchar*>("raw-filename"), const_cast<gchar*>("The name entered")},
    };
    static const GimpParamDef loadResults[] = {
        {GIMP_PDB_IMAGE, const_cast<gchar*>("image"), const_cast<gchar*>("Output image")},
    };
    static const GimpParamDef exportArguments[] = {
        {GIMP_PDB_INT32, const_cast<gchar*>("run-mode"),
         const_cast<gchar*>("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1), RUN-WITH-LAST-VALS (2) }")},
        {GIMP_PDB_IMAGE, const_cast<gchar*>("image"), const_cast<gchar*>("Input image")},
        {GIMP_PDB_DRAWABLE, const_cast<gchar*>("drawable"),
         const_cast<gchar*>("Drawable to export (indexed without alpha, or RGB in an image opened from a PIC file)")},
        {GIMP_PDB_STRING, const_cast<gchar*>("filename"), const_cast<gchar*>("The name of the file to export to")},
        {GIMP_PDB_STRING, const_cast<gchar*>("raw-filename"), const_cast<gchar*>("The name entered")},
        {GIMP_PDB_INT32, const_cast<gchar*>("palette"),
         const_cast<gchar*>("The palette chunk: 0 as the image remembers (left out only when it was loaded from a "
                            "PIC file without one), 1 write it, 2 leave it out (the game shows its default palette)")},
    };

    gimp_install_procedure(PicPlugIn::LOAD_PROCEDURE, "Loads Fenwolds PIC pictures",
                           "Opens a picture of the game Fenwolds as an indexed image whose colour map is the "
                           "file's palette (or the game's default palette when the file has none).",
                           "The Cantrel project", "The Cantrel project", "2026", "Fenwolds PIC picture", nullptr,
                           GIMP_PLUGIN, G_N_ELEMENTS(loadArguments), G_N_ELEMENTS(loadResults), loadArguments,
                           loadResults);
    gimp_register_file_handler_mime(PicPlugIn::LOAD_PROCEDURE, PicPlugIn::MIME_TYPE);
    gimp_register_magic_load_handler(PicPlugIn::LOAD_PROCEDURE, "pic", "", PicPlugIn::MAGIC);

    gimp_install_procedure(PicPlugIn::EXPORT_PROCEDURE, "Exports Fenwolds PIC pictures",
                           "Writes an indexed image as a picture of the game Fenwolds, with or without its "
                           "palette. Colours keep 6 bits per component. An image opened from a PIC file may be "
                           "in RGB mode: its colours go back onto the palette and indices of the picture it was "
                           "opened from, and pixels in other colours or not fully opaque are refused.",
                           "The Cantrel project", "The Cantrel project", "2026", "Fenwolds PIC picture",
                           "INDEXED, RGB*", GIMP_PLUGIN, G_N_ELEMENTS(exportArguments), 0, exportArguments, nullptr);
    gimp_register_file_handler_mime(PicPlugIn::EXPORT_PROCEDURE, PicPlugIn::MIME_TYPE);
    gimp_register_save_handler(PicPlugIn::EXPORT_PROCEDURE, "pic", "");
}

GimpPDBStatusType RunLoad(gint nparams, const GimpParam* param, gint32& image, std::string& error)
{
    if (nparams < 3)
        return GIMP_PDB_CALLING_ERROR;
    image = PicPlugIn::LoadImage(param[1].data.d_string, error);
    return image == -1 ? GIMP_PDB_EXECUTION_ERROR : GIMP_PDB_SUCCESS;
}

GimpPDBStatusType RunExport(gint nparams, const GimpParam* param, std::string& error)
{
    if (nparams < 5)
        return GIMP_PDB_CALLING_ERROR;
    auto runMode = static_cast<GimpRunMode>(param[0].data.d_int32);
    int choice = PicPlugIn::PALETTE_AS_REMEMBERED;
    if (runMode == GIMP_RUN_NONINTERACTIVE && nparams >= 6)
        choice = param[5].data.d_int32;
    if (choice < PicPlugIn::PALETTE_AS_REMEMBERED || choice > PicPlugIn::PALETTE_LEAVE_OUT) {
        CharString text;
        error = Format(text, DesktopMessages::PALETTE_ARGUMENT_FORMAT, choice).Text();
        return GIMP_PDB_CALLING_ERROR;
    }
    bool cancelled = false;
    if (PicPlugIn::ExportImage(param[3].data.d_string, param[1].data.d_image, param[2].data.d_drawable, choice,
                               runMode == GIMP_RUN_INTERACTIVE, cancelled, error))
        return GIMP_PDB_SUCCESS;
    return cancelled ? GIMP_PDB_CANCEL : GIMP_PDB_EXECUTION_ERROR;
}

void Run(const gchar* name, gint nparams, const GimpParam* param, gint* nreturn_vals, GimpParam** return_vals)
{
    static GimpParam values[2];
    // Kept until the next run: GIMP reads the text after this function returns.
    static std::string error;
    error.clear();
    gegl_init(nullptr, nullptr);

    gint32 image = -1;
    GimpPDBStatusType status = GIMP_PDB_CALLING_ERROR;
    if (std::strcmp(name, PicPlugIn::LOAD_PROCEDURE) == 0)
        status = RunLoad(nparams, param, image, error);
    else if (std::strcmp(name, PicPlugIn::EXPORT_PROCEDURE) == 0)
        status = RunExport(nparams, param, error);

    *return_vals = values;
    *nreturn_vals = 1;
    values[0].type = GIMP_PDB_STATUS;
    values[0].data.d_status = status;
    if (status == GIMP_PDB_SUCCESS && image != -1) {
        *nreturn_vals = 2;
        values[1].type = GIMP_PDB_IMAGE;
        values[1].data.d_image = image;
    } else if (status != GIMP_PDB_SUCCESS && !error.empty()) {
        *nreturn_vals = 2;
        values[1].type = GIMP_PDB_STRING;
        values[1].data.d_string = const_cast<gchar*>(error.c_str());
    }
}

} // namespace

// What gimp_main calls; MAIN() would define main() in C style.
const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, Query, Run};

int main(int argc, char* argv[])
{
    return gimp_main(&PLUG_IN_INFO, argc, argv);
}
