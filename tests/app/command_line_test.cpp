#include "viewer/app/command_line.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(CommandLine, ReadsTheJobsAndRefusesWhatDoesNotFit)
{
    CommandLine save = parseCommandLine({"--save", "out/%S.png", "--depth", "8", "101", "102"});
    EXPECT_EQ(save.job, CommandLine::Job::Save);
    EXPECT_EQ(save.target, "out/%S.png");
    EXPECT_EQ(save.depth, 8);
    EXPECT_EQ(save.codes, (std::vector<std::int64_t>{101, 102}));
    EXPECT_TRUE(save.error.empty());

    CommandLine print = parseCommandLine({"--print", "atlas.pdf", "--form", "Atlas", "--all"});
    EXPECT_EQ(print.job, CommandLine::Job::Print);
    EXPECT_TRUE(print.all);
    EXPECT_EQ(print.form, "Atlas");

    EXPECT_EQ(parseCommandLine({}).job, CommandLine::Job::Windowed);
    // A lone argument is the database folder the windows open (a folder
    // named by digits too).
    for (const char* folder : {"/home/me/Tavik", "2024", "db/tavik.ini"}) {
        const CommandLine windowed = parseCommandLine({folder});
        EXPECT_EQ(windowed.job, CommandLine::Job::Windowed) << folder;
        EXPECT_EQ(windowed.folder, LocalPath(folder));
        EXPECT_TRUE(windowed.error.empty()) << folder;
    }
    EXPECT_EQ(parseCommandLine({"--save", "x.png", "--help"}).job, CommandLine::Job::Help);

    const std::vector<std::vector<std::string>> refused = {
        {"--save"},
        {"--save", "x.png"}, // no species
        {"--save", "x.png", "--all", "101"}, // both
        {"--save", "x.png", "--depth", "16", "1"},
        {"--save", "x.png", "12abc"},
        {"--save", "x.png", "--form", "A", "1"},
        {"--print", "x.pdf", "--depth", "8", "1"},
        {"--save", "a.png", "--print", "b.pdf", "1"},
        {"101", "102"},
        {"--overlay"},
    };
    for (const auto& arguments : refused)
        EXPECT_FALSE(parseCommandLine(arguments).error.empty()) << arguments.size() << " " << arguments[0];
}

} // namespace
} // namespace tavik
