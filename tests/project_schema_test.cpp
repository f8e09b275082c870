// The project file's schema, entry by entry: every setting, text block and
// record field comes back from Save through Load, and check reports a value
// of a number kind that does not convert at its own line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "project/ProjectProperty_unit.h"
#include "project/ProjectSchema_unit.h"
#include "tools/setupproj/ProjectSource.h"

namespace {

// A value of the kind that is no default: a text, 7, true.
std::string Sample(TSchemaKind kind, const std::string& name) { return kind == skText ? "v" + name : kind == skBool ? "1" : "7"; }

TEST(ProjectSchema, EveryEntryRoundTripsAndAWrongNumberIsFoundAtItsLine) {
    TProjectProperty saved;
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            if (s.Kind == skText) saved.*s.Text = Sample(s.Kind, s.Key);
            if (s.Kind == skByte) saved.*s.Byte = 7;
            if (s.Kind == skBool) saved.*s.Flag = true;
        }
        if (part.TextBlock >= 0) saved.TextBlock(part.TextBlock)->assign({"a", "b"});
        if (!part.Records) continue;
        std::vector<std::string> texts;
        std::vector<int32_t> numbers;
        for (const TSchemaField& f : part.Records->Fields) {
            texts.push_back(Sample(f.Kind, f.Name));
            numbers.push_back(f.Kind == skText ? 0 : 7);
        }
        part.Records->Add(saved, texts.data(), numbers.data());
        part.Records->Add(saved, texts.data(), numbers.data());
    }
    const std::string text = saved.Serialize();
    TProjectProperty loaded;
    loaded.Parse(text);
    EXPECT_EQ(loaded.Serialize(), text);

    for (const TSchemaPart& part : ProjectSchema()) {
        const std::string header = std::string("[") + part.Section + "]\r\n";
        for (const TSchemaSetting& s : part.Settings) {
            EXPECT_EQ(SchemaSettingText(loaded, s), Sample(s.Kind, s.Key)) << s.Key;
            EXPECT_TRUE(SchemaWrites(loaded, s)) << s.Key;
            if (s.Kind == skText) continue;
            // The same setting holding no number, on line 3 of a project.
            const std::string wrong = "\r\n" + header + s.Key + "=z1\r\n";
            TProjectProperty strict;
            EXPECT_THROW(strict.Parse(wrong), ESetupError) << s.Key;
            setupproj::ProjectSource source;
            setupproj::Findings findings;
            setupproj::ReadProjectSource(wrong, source, findings);
            ASSERT_FALSE(findings.All().empty()) << s.Key;
            EXPECT_EQ(findings.All()[0].line, 3) << s.Key;
            EXPECT_EQ(findings.All()[0].text.rfind(std::string(s.Key) + " 'z1' is not an integer", 0), 0u)
                << findings.All()[0].text;
        }
        if (part.TextBlock >= 0) {
            EXPECT_EQ(*loaded.TextBlock(part.TextBlock), (std::vector<std::string>{"a", "b"}));
        }
        if (!part.Records) continue;
        ASSERT_EQ(part.Records->Count(loaded), 2) << part.Section;
        const std::vector<TSchemaField>& fields = part.Records->Fields;
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(part.Records->Texts(loaded, 1)[i], Sample(fields[i].Kind, fields[i].Name)) << fields[i].Name;
            if (fields[i].Kind == skText) continue;
            // The field of the second record holding no number, on line 4.
            std::string good, wrong = "\r\n" + header;
            for (const std::string& t : part.Records->Texts(loaded, 0)) good += "*" + t;
            std::vector<std::string> texts = part.Records->Texts(loaded, 1);
            texts[i] = "z1";
            std::string record;
            for (const std::string& t : texts) record += "*" + t;
            wrong += "file00000=" + good.substr(1) + "\r\nfile00001=" + record.substr(1) + "\r\n";
            setupproj::ProjectSource source;
            setupproj::Findings findings;
            setupproj::ReadProjectSource(wrong, source, findings);
            bool found = false;
            for (const setupproj::Finding& f : findings.All()) {
                found |= f.line == 4 && f.text.rfind(std::string(fields[i].Name) + " 'z1' is not an integer", 0) == 0;
            }
            EXPECT_TRUE(found) << fields[i].Name;
            EXPECT_EQ(source.project.Serialize().find("z1"), std::string::npos) << fields[i].Name;
        }
    }
    // The optional settings are not written at their defaults.
    TProjectProperty empty;
    for (const TSchemaPart& part : ProjectSchema()) {
        for (const TSchemaSetting& s : part.Settings) {
            EXPECT_EQ(empty.Serialize().find(std::string(s.Key) + "=") == std::string::npos, s.Optional) << s.Key;
        }
    }
}

}  // namespace
