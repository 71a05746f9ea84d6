#include "PicTeXWriter.h"

#include "FlowNetTracer.h"
#include "NumberFormat.h"
#include "PicTeXSink.h"
#include "SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelloc {

namespace {

constexpr char kFirstLine[] = "% Brelloc";

} // namespace

void WriteTexPreamble(TextStream& out)
{
    out.Write(kFirstLine);
    out.Write("\n"
              "\\begin{figure}[htb]\n"
              " \\beginpicture\n"
              "  \\setcoordinatesystem units <0.5pt,0.5pt> point at 0 0\n"
              "  \\setplotarea x from -300 to 400, y from -320 to 200\n"
              "  \\setsolid\n"
              "  \\small\n"
              "  \\arrow <6pt> [.2,.6] from     0    0 to  400    0\n"
              "  \\arrow <6pt> [.2,.6] from     0    0 to    0  200\n");
}

void WriteTexClosing(TextStream& out, const GeneralData& data)
{
    out.Write("  \\put {$x$} [l] at  410    0\n"
              "  \\put {$y$} [l] at   10  200\n"
              " \\endpicture\n");
    // A huge H/L or N/k gives a long number; FormatFixed sizes it.
    out.Write(" \\caption{Groundwater Divide, $H/L=");
    out.Write(FormatFixed(data.HL, 5, 3));
    out.Write(", N/k=");
    out.Write(FormatFixed(data.NK, 5, 3));
    out.Write("$.}\n"
              " \\label{Fig:Brelloc}\n"
              "\\end{figure}\n");
}

void WritePicTeX(TextStream& out, const GeneralData& data)
{
    WriteTexPreamble(out);
    PicTeXSink sink(out, data.TexScale);
    FlowNetTracer::Trace(data, sink);
    WriteTexClosing(out, data);
}

ExistingFile ExistingFileAt(const std::string& path)
{
    struct stat info {};
    if (StreamDescriptorOf(path) >= 0 || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return ExistingFile::None;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return ExistingFile::Other;
    // The first line, with a line end that may have become CR LF.
    const std::string wanted = std::string(kFirstLine) + "\n";
    char start[sizeof kFirstLine + 1] = {};
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof start)) {
        const ssize_t more = read(fd, start + got, sizeof start - static_cast<std::size_t>(got));
        if (more <= 0)
            break;
        got += more;
    }
    close(fd);
    const std::string first(start, static_cast<std::size_t>(got > 0 ? got : 0));
    const bool ours = first.compare(0, wanted.size(), wanted) == 0 ||
                      first == std::string(kFirstLine) + "\r\n";
    return ours ? ExistingFile::Brelloc : ExistingFile::Other;
}

ExportResult WritePicTeXFile(const GeneralData& data, const std::string& path)
{
    SafeFileWriter writer(path);
    if (writer.Open()) {
        WritePicTeX(writer.Stream(), data);
        writer.Commit();
    }
    ExportResult result;
    result.ok = writer.Ok();
    result.error = writer.ErrorMessage();
    return result;
}

} // namespace brelloc
