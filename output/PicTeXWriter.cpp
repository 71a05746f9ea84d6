#include "PicTeXWriter.h"

#include "FlowNetTracer.h"
#include "NumberFormat.h"
#include "PicTeXSink.h"
#include "SafeFileWriter.h"

namespace brelloc {

void WriteTexPreamble(TextStream& out)
{
    out.Write("% Brelloc\n"
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
