// The exporter's results file, written by the built program and read back
// with Qt's JSON reader.
#include "FlowProbe.h"
#include "FlowResults.h"
#include "GeneralData.h"

#include "ProgramRun.h"
#include "TempFolder.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::Export;
using test::FolderEntries;
using test::ProgramRun;
using test::ReadWholeFile;
using test::TempFolder;

QJsonObject Parse(const std::string& text)
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(text.data(), int(text.size())), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << text;
    EXPECT_TRUE(document.isObject()) << text;
    return document.object();
}

GeneralData With(double hl, double nk)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = hl;
    data.NK = nk;
    UpdateDerived(data);
    return data;
}

// The numbers are exact: shortest round-trip text reads back to the very double.
void ExpectPoint(const QJsonValue& value, const std::optional<ModelPoint>& expected,
                 const char* what)
{
    SCOPED_TRACE(what);
    if (!expected) {
        EXPECT_TRUE(value.isNull());
        return;
    }
    ASSERT_TRUE(value.isObject());
    const QJsonObject point = value.toObject();
    EXPECT_EQ(point.keys(), (QStringList{"x", "y"}));
    EXPECT_EQ(point["x"].toDouble(), expected->x);
    EXPECT_EQ(point["y"].toDouble(), expected->y);
}

void ExpectResults(const QJsonObject& json, const GeneralData& data)
{
    const FlowResults results = ComputeResults(data);
    EXPECT_EQ(json["hl"].toDouble(), data.HL);
    EXPECT_EQ(json["nk"].toDouble(), data.NK);
    ExpectPoint(json["water_table_top"], results.waterTableTop, "water_table_top");
    ExpectPoint(json["stagnation_point"], results.stagnationPoint, "stagnation_point");
    ExpectPoint(json["divide"], results.divide, "divide");
    EXPECT_EQ(json["infiltration_to_left_drain"].toDouble(), results.infiltrationToLeftDrain);
    EXPECT_EQ(json["infiltration_to_right_drain"].toDouble(), results.infiltrationToRightDrain);
    EXPECT_NEAR(json["infiltration_to_left_drain"].toDouble() +
                    json["infiltration_to_right_drain"].toDouble(),
                data.NK, 1e-15 * data.NK);
}

const QStringList kResultKeys = {"divide",
                                 "hl",
                                 "infiltration_to_left_drain",
                                 "infiltration_to_right_drain",
                                 "nk",
                                 "stagnation_point",
                                 "water_table_top"};

// The keys in the order of the text.
void ExpectKeyOrder(const std::string& text, const std::vector<std::string>& keys)
{
    std::size_t at = 0;
    for (const std::string& key : keys) {
        const std::size_t found = text.find("\"" + key + "\":", at);
        ASSERT_NE(found, std::string::npos) << key << " after " << at << " in\n" << text;
        at = found;
    }
}

TEST(ExporterResults, StartUpValuesToAFile)
{
    TempFolder folder;
    const ProgramRun run = Export(folder, {"--results", folder / "results.json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    const std::string text = ReadWholeFile(folder / "results.json");
    const QJsonObject json = Parse(text);
    EXPECT_EQ(json.keys(), kResultKeys);
    ExpectResults(json, With(0.2, 0.5));
    ExpectKeyOrder(text, {"hl", "nk", "water_table_top", "stagnation_point", "divide",
                          "infiltration_to_left_drain", "infiltration_to_right_drain"});
    // The start-up set has every quantity.
    EXPECT_TRUE(json["stagnation_point"].isObject());
    EXPECT_TRUE(json["divide"].isObject());
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"results.json"}));
}

TEST(ExporterResults, ProbesInOrderWithNullOutside)
{
    TempFolder folder;
    const ProgramRun run =
        Export(folder, {"--hl", "0", "--nk", "0.8", "--probe", "0.5,-1", "--probe", "0.5,5",
                        "--results", "-", "--probe=-3,-0.5", "--probe", "2,0.01"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject json = Parse(run.out);
    QStringList keys = kResultKeys;
    keys.append("probes");
    keys.sort();
    EXPECT_EQ(json.keys(), keys);
    const GeneralData data = With(0, 0.8);
    ExpectResults(json, data);
    EXPECT_TRUE(json["stagnation_point"].isNull());
    ExpectPoint(json["divide"], ModelPoint{0.5, 0.4}, "divide with H/L 0");

    ASSERT_TRUE(json["probes"].isArray());
    const QJsonArray probes = json["probes"].toArray();
    ASSERT_EQ(probes.size(), 4);
    const ModelPoint points[] = {{0.5, -1}, {0.5, 5}, {-3, -0.5}, {2, 0.01}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const std::optional<ProbeValues> expected = ProbeAt(data, points[k]);
        if (!expected) {
            EXPECT_TRUE(probes[k].isNull());
            continue;
        }
        ASSERT_TRUE(probes[k].isObject());
        const QJsonObject probe = probes[k].toObject();
        EXPECT_EQ(probe.keys(), (QStringList{"head", "pressure_head", "specific_discharge",
                                             "stream_function", "x", "y"}));
        EXPECT_EQ(probe["x"].toDouble(), points[k].x);
        EXPECT_EQ(probe["y"].toDouble(), points[k].y);
        EXPECT_EQ(probe["head"].toDouble(), expected->head);
        EXPECT_EQ(probe["pressure_head"].toDouble(), expected->pressureHead);
        EXPECT_EQ(probe["stream_function"].toDouble(), expected->streamFunction);
        ExpectPoint(probe["specific_discharge"], expected->specificDischarge, "discharge");
    }
    // Below the middle, under the divide, and deep left: inside. Above the
    // table and above the right drain: outside.
    EXPECT_TRUE(probes[0].isObject());
    EXPECT_TRUE(probes[1].isNull());
    EXPECT_TRUE(probes[2].isObject());
    EXPECT_TRUE(probes[3].isNull());
    // Under the divide the water goes straight down; the stream function is
    // the divide's.
    const QJsonObject middle = probes[0].toObject();
    EXPECT_NEAR(middle["stream_function"].toDouble(), -0.4, 1e-12);
    EXPECT_NEAR(middle["specific_discharge"].toObject()["x"].toDouble(), 0.0, 1e-12);
    EXPECT_LT(middle["specific_discharge"].toObject()["y"].toDouble(), 0.0);
    ExpectKeyOrder(run.out, {"infiltration_to_right_drain", "probes", "x", "y", "head",
                             "stream_function", "pressure_head", "specific_discharge"});
}

TEST(ExporterResults, WithoutADivideAndForExtremeValues)
{
    TempFolder folder;
    const ProgramRun steep =
        Export(folder, {"--hl", "2", "--nk", "0.1", "--results", folder / "steep.json"});
    ASSERT_EQ(steep.exitCode, 0) << steep.err;
    const QJsonObject json = Parse(ReadWholeFile(folder / "steep.json"));
    ExpectResults(json, With(2, 0.1));
    EXPECT_TRUE(json["stagnation_point"].isNull());
    EXPECT_TRUE(json["divide"].isNull());
    EXPECT_EQ(json["infiltration_to_left_drain"].toDouble(), 0.0);
    EXPECT_EQ(json["infiltration_to_right_drain"].toDouble(), 0.1);
    ExpectPoint(json["water_table_top"], ModelPoint{0, 2}, "top at the left drain");

    const ProgramRun huge = Export(
        folder, {"--hl", "1e300", "--nk", "1e300", "--results", "-", "--probe", "0,0",
                 "--probe", "-1e300,-1e300"});
    ASSERT_EQ(huge.exitCode, 0) << huge.err;
    EXPECT_EQ(huge.out.find("null,"), std::string::npos);
    const QJsonObject big = Parse(huge.out);
    ExpectResults(big, With(1e300, 1e300));
    for (const char* key : {"water_table_top", "stagnation_point", "divide"})
        ASSERT_TRUE(big[QString(key)].isObject()) << key;
    EXPECT_EQ(big["probes"].toArray().size(), 2);
}

TEST(ExporterResults, StandardOutputAndFileHoldTheSameText)
{
    TempFolder folder;
    const std::vector<std::string> values = {"--hl", "0.35", "--nk", "0.6", "--probe", "0.2,-0.3"};
    std::vector<std::string> toFile = values;
    toFile.insert(toFile.end(), {"--results", folder / "r.json"});
    std::vector<std::string> toOut = values;
    toOut.insert(toOut.end(), {"--results", "-"});
    const ProgramRun file = Export(folder, toFile);
    const ProgramRun out = Export(folder, toOut);
    ASSERT_EQ(file.exitCode, 0) << file.err;
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(ReadWholeFile(folder / "r.json"), out.out);
    ExpectResults(Parse(out.out), With(0.35, 0.6));
}

TEST(ExporterResults, AFileThatCannotBeWrittenIsReported)
{
    TempFolder folder;
    const std::string path = folder / "missing/r.json";
    const ProgramRun run = Export(folder, {"--results", path, "--pictex", folder / "f.tex"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("brelloc-export: Could not write the file \"" + path + "\": "),
              std::string::npos)
        << run.err;
    // The other output is still written.
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"f.tex"}));
}

} // namespace
} // namespace brelloc
