/* The ppk command-line tool: commands, exit codes and round trips. */
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <string>

static std::string Dir() { return std::string(KVL_BINARY_DIR) + "/ppktool_"; }

static int Ppk(const std::string &args)
{
    std::string cmd = std::string(KVL_BINARY_DIR) + "/bin/ppk " + args + " >/dev/null 2>&1";
    int status = system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static bool SameFiles(const std::string &a, const std::string &b)
{
    return system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

TEST(PpkTool, PacksAndUnpacksBothWaysExactly)
{
    std::string in = std::string(KVL_BINARY_DIR) + "/bin/ppk";  /* a real binary as input */
    std::string packed = Dir() + "p.ppk", stored = Dir() + "u.ppk", out = Dir() + "out";
    EXPECT_EQ(Ppk("pack '" + in + "' '" + packed + "'"), 0);
    EXPECT_EQ(Ppk("pack --stored '" + in + "' '" + stored + "'"), 0);
    EXPECT_EQ(Ppk("info '" + packed + "'"), 0);
    EXPECT_EQ(Ppk("info '" + stored + "'"), 0);
    EXPECT_EQ(Ppk("unpack '" + packed + "' '" + out + "'"), 0);
    EXPECT_TRUE(SameFiles(in, out));
    EXPECT_EQ(Ppk("unpack '" + stored + "' '" + out + "'"), 0);
    EXPECT_TRUE(SameFiles(in, out));
    remove(packed.c_str());
    remove(stored.c_str());
    remove(out.c_str());
}

TEST(PpkTool, BadInputIsOneUsageIsTwo)
{
    EXPECT_EQ(Ppk("--help"), 0);
    EXPECT_EQ(Ppk(""), 2);
    EXPECT_EQ(Ppk("frobnicate a b"), 2);
    EXPECT_EQ(Ppk("pack onlyone"), 2);
    EXPECT_EQ(Ppk("unpack a"), 2);
    EXPECT_EQ(Ppk("info"), 2);
    EXPECT_EQ(Ppk("unpack /nonexistent/x.ppk " + Dir() + "never"), 1);
    std::string bad = Dir() + "bad.ppk";
    FILE *f = fopen(bad.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite("\x64\0\0\0\x06\0\0\0P\0\0\0\x01" "A", 14, 1, f);  /* packed length past the end */
    fclose(f);
    EXPECT_EQ(Ppk("info '" + bad + "'"), 1);
    EXPECT_EQ(Ppk("unpack '" + bad + "' '" + Dir() + "never'"), 1);
    EXPECT_NE(system(("test -e '" + Dir() + "never'").c_str()), 0);
    remove(bad.c_str());
}
