// Cantrel, the Fenwolds PIC <-> BMP converter: banner, command line, help and
// parameter errors, then at most one job, a conversion or a query. Everything
// goes to standard output; the exit status is always 0.
#include "converter/CommandLineOptions.h"
#include "converter/Converter.h"
#include "converter/ImageDocument.h"
#include "converter/Messages.h"
#include "platform/Platform.h"

#include <cstdio>

int main(int, char** argv)
{
    Platform::UseBinaryStandardOutput();
    std::fputs(Messages::BANNER, stdout);

    CommandLineOptions options(argv);
    if (options.Help)
        std::fputs(Messages::HELP, stdout);
    if (options.HasErrors) {
        std::fputs(Messages::PARAMETER_ERRORS, stdout);
        std::fputs(options.ErrorText.Text(), stdout);
    }

    // A command line the shell made of a pattern runs no job at all.
    bool runJob = options.HaveInput && !options.PatternExpanded;
    if (runJob && !options.Query) {
        Converter converter(stdout);
        const PaletteOptions palettes{options.Drop,
                                      {options.UsePalette, options.UsePaletteFile.Text()},
                                      {options.FillPalette, options.FillPaletteFile.Text()},
                                      {options.MapPalette, options.MapPaletteFile.Text()}};
        if (converter.Convert(options.InputFile.Text(), options.OutputFile.Text(), palettes)) {
            std::fputs(Messages::CONVERSION_SUCCEEDED, stdout);
        } else {
            std::fputs(Messages::CONVERSION_ERRORS, stdout);
            std::fputs(converter.ErrorText.Text(), stdout);
        }
    } else if (runJob && options.Query) {
        // The name is found as the file system finds it; a failed load shows
        // the new document's state.
        ImageDocument document;
        document.Load(Platform::ResolveNameCase(options.InputFile.Text()).c_str());
        CharString size;
        Format(size, Messages::IMAGE_SIZE_FORMAT, document.Width, document.Height);
        std::fputs(Messages::IMAGE_DETAILS, stdout);
        std::fputs(size.Text(), stdout);
        std::fputs(document.HasPalette ? Messages::HAS_PALETTE : Messages::HAS_NO_PALETTE, stdout);
    }
    std::fflush(stdout);
    return 0;
}
