// RunExport with a stand-in for the Qt renderers: which outputs reach them,
// with which settings, and how a failure among the outputs is reported.
#include "ExportCommand.h"
#include "ExpectedFigure.h"
#include "ExportOptions.h"
#include "PicTeXWriter.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::FolderEntries;
using test::ReadWholeFile;
using test::TempFolder;

// A standard stream whose text can be read back.
class CapturedStream {
public:
    CapturedStream() : file_(std::tmpfile()) {}
    ~CapturedStream() { std::fclose(file_); }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* File() const { return file_; }
    std::string Text() const
    {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
            text.append(buffer, n);
        return text;
    }

private:
    std::FILE* file_;
};

struct RenderCall {
    OutputKind kind;
    std::string path;
    double hl;
    PaperSize paper;
    bool landscape;
    int size;
    bool markDivide;
};

// Records each call; the paths in failing fail with a reason of their own.
struct FakeRenderer {
    std::vector<RenderCall> calls;
    std::vector<std::string> failing;

    RenderedOutputWriter Writer()
    {
        return [this](const GeneralData& data, const OutputRequest& request,
                      const ExportOptions& options) {
            calls.push_back({request.kind, request.path, data.HL, options.paper, options.landscape,
                             options.figureSize, options.markDivide});
            for (const std::string& path : failing)
                if (path == request.path)
                    return ExportResult{false, "Cannot write " + path + ": test reason."};
            return ExportResult{true, ""};
        };
    }
};

ExportOptions Parsed(const std::vector<std::string>& args)
{
    const ParsedOptions parsed = ParseExportOptions(args);
    EXPECT_TRUE(parsed.Ok()) << parsed.error;
    return parsed.options;
}

TEST(RunExport, RenderedOutputsGoToTheRendererWithTheSettings)
{
    TempFolder folder;
    const std::string tex = folder / "a.tex";
    FakeRenderer renderer;
    CapturedStream out, err;
    const int code = RunExport(Parsed({"--hl", "0.4", "--png", "f.png", "--page-size", "Legal",
                                       "--landscape", "--pictex", tex, "--size", "64",
                                       "--report", "r.pdf", "--svg", "f.svg"}),
                               out.File(), err.File(), renderer.Writer());
    EXPECT_EQ(code, ExitOk);
    EXPECT_EQ(err.Text(), "");
    EXPECT_EQ(out.Text(), "");
    ASSERT_EQ(renderer.calls.size(), 3u);
    const OutputKind kinds[] = {OutputKind::FigurePng, OutputKind::ReportPdf, OutputKind::FigureSvg};
    const char* paths[] = {"f.png", "r.pdf", "f.svg"};
    for (std::size_t i = 0; i < 3; ++i) {
        const RenderCall& call = renderer.calls[i];
        EXPECT_EQ(call.kind, kinds[i]) << i;
        EXPECT_EQ(call.path, paths[i]) << i;
        EXPECT_EQ(call.hl, 0.4) << i; // the values are committed before any output
        EXPECT_EQ(call.paper, PaperSize::Legal) << i;
        EXPECT_TRUE(call.landscape) << i;
        EXPECT_EQ(call.size, 64) << i;
        EXPECT_FALSE(call.markDivide) << i;
    }
    EXPECT_EQ(ReadWholeFile(tex), test::ExpectedFigure("0.4"));

    // Marked: the same calls with the marks, and the PicTeX file unchanged.
    FakeRenderer marked;
    EXPECT_EQ(RunExport(Parsed({"--hl", "0.4", "--mark-divide", "--pictex", tex, "--svg", "f.svg"}),
                        out.File(), err.File(), marked.Writer()),
              ExitOk);
    ASSERT_EQ(marked.calls.size(), 1u);
    EXPECT_TRUE(marked.calls[0].markDivide);
    EXPECT_EQ(ReadWholeFile(tex), test::ExpectedFigure("0.4"));
}

TEST(RunExport, GoesOnAfterAFailureAndExitsWithOne)
{
    TempFolder folder;
    const std::string tex = folder / "a.tex";
    FakeRenderer renderer;
    renderer.failing = {"f.png"};
    CapturedStream out, err;
    const int code = RunExport(Parsed({"--png", "f.png", "--pictex", tex, "--svg", "f.svg"}),
                               out.File(), err.File(), renderer.Writer());
    EXPECT_EQ(code, ExitWriteFailed);
    EXPECT_EQ(err.Text(), "brelloc-export: Cannot write f.png: test reason.\n");
    ASSERT_EQ(renderer.calls.size(), 2u);
    EXPECT_EQ(renderer.calls[1].path, "f.svg");
    EXPECT_EQ(ReadWholeFile(tex), test::ExpectedFigure("0.2"));
}

// A build without Qt still parses every option and writes PicTeX; the
// rendered outputs fail with a reason, and nothing is left in their place.
TEST(RunExport, WithoutARendererTheRenderedOutputsFail)
{
    TempFolder folder;
    CapturedStream out, err;
    const int code = RunExport(Parsed({"--svg", folder / "f.svg", "--pictex", folder / "a.tex"}),
                               out.File(), err.File());
    EXPECT_EQ(code, ExitWriteFailed);
    EXPECT_EQ(err.Text(), "brelloc-export: Could not write the file \"" + folder / "f.svg" +
                              "\": this brelloc-export was built without Qt, which PDF, SVG and "
                              "PNG output need.\n");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.tex"});
}

TEST(RunExport, VersionAndHelpWriteNothingElse)
{
    TempFolder folder;
    FakeRenderer renderer;
    for (const char* option : {"--version", "--help"}) {
        CapturedStream out, err;
        ExportOptions options = Parsed({option, "--png", folder / "f.png"});
        EXPECT_EQ(RunExport(options, out.File(), err.File(), renderer.Writer()), ExitOk);
        const std::string expected =
            option == std::string("--help") ? ExportUsage() : ExportVersion() + "\n";
        EXPECT_EQ(out.Text(), expected);
        EXPECT_EQ(err.Text(), "");
    }
    EXPECT_TRUE(renderer.calls.empty());
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

} // namespace
} // namespace brelloc
