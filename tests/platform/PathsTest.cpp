#include "Paths.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

TEST(Paths, AbsoluteFormsAndTrailingSeparators) {
  struct Case {
    const char* path;
    bool absolute;
    const char* withDelimiter;
  } cases[] = {
      {"/opt/orvant", true, "/opt/orvant/"},
      {"C:\\Client", true, "C:\\Client\\"},
      {"C:\\Client\\", true, "C:\\Client\\"},
      {"\\\\server\\share", true, "\\\\server\\share\\"},
      {"\\Pkg", false, "\\Pkg\\"},
      {"Pkg", false, "Pkg/"},
      {"d:/x", true, "d:/x/"},
      {"", false, "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute);
    EXPECT_EQ(IncludeTrailingPathDelimiter(c.path), c.withDelimiter);
  }
}

TEST(Paths, FileNameParts) {
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFilePath("C:\\a\\c.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFilePath("c.txt"), "");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFileExt("KXBR07S.DLL"), ".DLL");
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".Lng"), "/a.b/c.Lng");
  EXPECT_EQ(ChangeFileExt("x/TfrmA.xml", ".Lng"), "x/TfrmA.Lng");
  EXPECT_EQ(NativePath("C:\\P\\\\Log"), "/P//Log");
}

TEST(Paths, ForceDirectoriesCreatesParentsAndReportsFailure) {
  TempFolder folder;
  const std::string deep = folder.Path() + "/a/b/c";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  const std::string file = folder.Write("f", "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(ForceDirectories(file + "/sub"));  // a file is in the way
  EXPECT_FALSE(ForceDirectories(""));
}
