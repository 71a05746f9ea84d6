#include "ExpectedFigure.h"

#include "GeneralData.h"
#include "PicTeXWriter.h"
#include "TextStream.h"

namespace brelloc::test {

std::string ExpectedFigure(const char* hl, const char* nk)
{
    GeneralData data;
    InitDefaults(data);
    CommitRow(data, RowHL, hl);
    CommitRow(data, RowNK, nk);
    UpdateDerived(data);
    StringTextStream out;
    WritePicTeX(out, data);
    return out.Text();
}

} // namespace brelloc::test
