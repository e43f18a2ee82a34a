// Loading the 640 x 400 sample through gdk-pixbuf and the project's loader
// module, in this process: the whole file at once, as a viewer opens it, and
// in 4 KiB pieces through GdkPixbufLoader, as thumbnailers feed it. The
// loaders cache and mime database are this build's own (made beside the
// program), never the system's.
#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const MAP = CANTREL_SOURCE_DIR "/samples/map.pic";

void WholeFile(benchmark::State& state)
{
    for (auto _ : state) {
        GError* error = nullptr;
        GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(MAP, &error);
        if (pixbuf == nullptr) {
            state.SkipWithError(error != nullptr ? error->message : "no picture");
            g_clear_error(&error);
            return;
        }
        benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(pixbuf));
        g_object_unref(pixbuf);
    }
}
BENCHMARK(WholeFile)->Unit(benchmark::kMillisecond);

void InPieces(benchmark::State& state)
{
    std::vector<unsigned char> file;
    if (std::FILE* f = std::fopen(MAP, "rb")) {
        unsigned char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            file.insert(file.end(), buffer, buffer + got);
        std::fclose(f);
    }
    for (auto _ : state) {
        GError* error = nullptr;
        GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/x-fenwolds-pic", &error);
        bool loaded = loader != nullptr;
        for (std::size_t at = 0; loaded && at < file.size(); at += 4096)
            loaded = gdk_pixbuf_loader_write(loader, file.data() + at, std::min<std::size_t>(4096, file.size() - at),
                                             &error);
        loaded = loaded && gdk_pixbuf_loader_close(loader, &error) && gdk_pixbuf_loader_get_pixbuf(loader) != nullptr;
        if (loader != nullptr)
            g_object_unref(loader);
        if (!loaded) {
            state.SkipWithError(error != nullptr ? error->message : "no picture");
            g_clear_error(&error);
            return;
        }
    }
}
BENCHMARK(InPieces)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Before gdk-pixbuf reads its cache, which it does once.
    setenv("GDK_PIXBUF_MODULE_FILE", CANTREL_LOADERS_CACHE, 1);
    setenv("XDG_DATA_DIRS", CANTREL_MIME_DATA ":/usr/share", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
