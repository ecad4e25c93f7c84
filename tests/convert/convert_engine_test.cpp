// The conversion engine and run over real files: destinations, the log, overwrite questions,
// cancel, broken and missing files, and the same results with worker threads. Sources are made
// and results judged by ImageMagick.
#include "convert_fixture.h"

#include <algorithm>
#include <tuple>

namespace pelmo::test {
namespace {

using Marks = std::vector<ConvertMark>;

std::vector<bool> Converted(const Marks& marks) {
  std::vector<bool> out;
  for (const ConvertMark& m : marks) out.push_back(m.converted);
  return out;
}

class ConvertEngineTest : public ConvertFixture {};

// A mixed batch into each of the four types, with each type's options, into _FixedImage.
TEST_F(ConvertEngineTest, MixedBatchIntoEachTypeWithItsOptions) {
  MakeImage("s1.bmp");
  MakeImage("s2.jpg", "plasma:fractal");
  MakeImage("s3.gif", "gradient:yellow-green");
  MakeImage("s4.png", "gradient:white-black");
  struct Case {
    int type;
    const char* ext;
    const char* identifyFormat;
    const char* expected;
  } cases[] = {
      {0, "bmp", "%m %w %h", "BMP3 64 48"},
      {1, "jpg", "%m %w %h %Q [%[interlace]]", "JPEG 64 48 60 [JPEG]"},
      {2, "gif", "%m %w %h [%[interlace]]", "GIF 64 48 [GIF]"},
      {3, "png", "%m %w %h [%[interlace]]", "PNG 64 48 [PNG]"},
  };
  profile_.bmp.SetBmpColor(24);
  profile_.jpg.SetJpgCompression(60);
  profile_.jpg.SetJpgProgression(1);
  profile_.gif.SetGifInterlace(1);
  profile_.png.SetPngColor(8);
  profile_.png.SetPngInterlace(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ext);
    profile_.gen.SetImageType(c.type);
    engine_->Clear();
    RunCommand("rm -rf '" + Prog("_FixedImage") + "'");
    Queue({"s1.bmp", "s2.jpg", "s3.gif", "s4.png"});
    ScriptedUi ui;
    const Marks marks = Run(ui);
    EXPECT_EQ(Converted(marks), std::vector<bool>(4, true));
    EXPECT_EQ(engine_->Count(), 0u);
    for (int i = 1; i <= 4; ++i) {
      const std::string out = Prog("_FixedImage/s" + std::to_string(i) + "." + c.ext);
      EXPECT_EQ(Identify(out, c.identifyFormat), c.expected) << out;
    }
    if (c.type == 0) {
      const std::string bmp = ReadBytes(Prog("_FixedImage/s1.bmp"));
      ASSERT_GT(bmp.size(), 30u);
      EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24) << "BmpColor 24 writes 24 bits per pixel";
    }
    if (c.type == 3) {
      const std::string png = ReadBytes(Prog("_FixedImage/s4.png"));
      ASSERT_GT(png.size(), 30u);
      EXPECT_EQ(png[25], 3) << "PngColor 8 writes a palette image";
    }
  }
  EXPECT_TRUE(LogLines().empty()) << "nothing failed, so nothing is logged";
}

TEST_F(ConvertEngineTest, ResizeAppliesToConvertedFiles) {
  MakeImage("big.png", "gradient:red-blue", 200, 100);
  profile_.gen.SetImageType(1);
  profile_.resize.SetResize(1);
  profile_.resize.SetResizeType(CResizeProfile::kByPercent);
  profile_.resize.SetPercentX(50);
  profile_.resize.SetPercentY(25);
  Queue({"big.png"});
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), std::vector<bool>{true});
  EXPECT_EQ(Identify(Prog("_FixedImage/big.jpg"), "%w %h"), "100 25");
}

TEST_F(ConvertEngineTest, MissingChosenFolderLogsEveryFileAndCreatesNothing) {
  MakeImage("a.png");
  MakeImage("b.png");
  profile_.translate.SetEnableSaveDirectory(1);
  profile_.translate.SetSaveDirectory(W(root_ + "/nowhere"));
  Queue({"a.png", "b.png"});
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), std::vector<bool>(2, false));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Utf8(201), Utf8(201)}));
  EXPECT_FALSE(Exists(root_ + "/nowhere"));
  EXPECT_FALSE(Exists(Prog("_FixedImage")));
  EXPECT_EQ(ui.events, (std::vector<std::string>{"pos 0/2 ", "done 1", "pos 1/2 ", "done 2"}));
}

TEST_F(ConvertEngineTest, ChosenFolderWithOrWithoutTrailingSeparator) {
  MakeImage("a.png");
  ASSERT_EQ(::mkdir((root_ + "/out").c_str(), 0777), 0);
  for (const std::wstring& folder : {W(root_ + "/out"), W(root_ + "/out") + L"\\"}) {
    RunCommand("rm -f '" + root_ + "/out/a.jpg'");
    profile_.translate.SetEnableSaveDirectory(1);
    profile_.translate.SetSaveDirectory(folder);
    Queue({"a.png"});
    ScriptedUi ui;
    EXPECT_EQ(Converted(Run(ui)), std::vector<bool>{true});
    EXPECT_EQ(Identify(root_ + "/out/a.jpg", "%m"), "JPEG");
  }
}

TEST_F(ConvertEngineTest, OverwriteAnswersAndOverwriteAllForOneRunOnly) {
  for (const char* n : {"a.png", "b.png", "c.png", "d.png"}) MakeImage(n);
  profile_.gen.SetImageType(1);
  ASSERT_EQ(::mkdir(Prog("_FixedImage").c_str(), 0777), 0);
  for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
    std::ofstream(Prog(std::string("_FixedImage/") + n)) << "old";
  }
  // a: no, b: overwrite, c: overwrite all, d: no question.
  Queue({"a.png", "b.png", "c.png", "d.png"});
  ScriptedUi ui;
  ui.answers = {OverwriteChoice::kNo, OverwriteChoice::kThis, OverwriteChoice::kAll};
  EXPECT_EQ(Converted(Run(ui)), (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(ui.events, (std::vector<std::string>{"pos 0/4 a.jpg", "ask a.jpg", "done 1", "pos 1/4 b.jpg", "ask b.jpg",
                                                 "done 2", "pos 2/4 c.jpg", "ask c.jpg", "done 3", "pos 3/4 d.jpg",
                                                 "done 4"}));
  EXPECT_EQ(ReadBytes(Prog("_FixedImage/a.jpg")), "old");
  EXPECT_EQ(Identify(Prog("_FixedImage/d.jpg"), "%m"), "JPEG");
  // 210 is logged before every question, also where the answer was to overwrite.
  EXPECT_EQ(LogLines(), std::vector<std::string>(4, Utf8(210)));

  // The next run asks again.
  Queue({"a.png"});
  ScriptedUi again;
  again.answers = {OverwriteChoice::kThis};
  EXPECT_EQ(Converted(Run(again)), std::vector<bool>{true});
  EXPECT_EQ(again.events[1], "ask a.jpg");
  EXPECT_EQ(Identify(Prog("_FixedImage/a.jpg"), "%m"), "JPEG");
}

// Same folder, same type: the question comes, and the file is read before it is replaced.
TEST_F(ConvertEngineTest, SourceThatIsTheDestinationIsReencodedInPlace) {
  profile_.gen.SetImageType(3);
  profile_.png.SetPngColor(8);
  profile_.translate.SetEnableSaveDirectory(1);
  profile_.translate.SetSaveDirectory(W(root_ + "/in"));
  MakeImage("self.png", "gradient:red-blue", 300, 200);
  const std::string before = ReadBytes(In("self.png"));
  Queue({"self.png"});
  ScriptedUi ui;
  ui.answers = {OverwriteChoice::kThis};
  EXPECT_EQ(Converted(Run(ui)), std::vector<bool>{true});
  const std::string after = ReadBytes(In("self.png"));
  EXPECT_NE(after, before);
  ASSERT_GT(after.size(), 30u);
  EXPECT_EQ(after[25], 3) << "re-encoded as a palette PNG";
  EXPECT_EQ(Identify(In("self.png"), "%m %w %h"), "PNG 300 200");
  EXPECT_EQ(RunCommand("ls '" + root_ + "/in' | wc -l"), "1\n") << "no temporary file left";
}

// A broken file in place of its own destination stays as it was.
TEST_F(ConvertEngineTest, BrokenFileFailsAloneAndIsNeverTouched) {
  MakeImage("good1.png");
  MakeImage("good2.gif");
  MakeImage("whole.png");
  std::string truncated = ReadBytes(In("whole.png"));
  truncated.resize(truncated.size() / 2);
  std::ofstream(In("broken.png"), std::ios::binary) << truncated;
  std::ofstream(In("text.jpg")) << "not a picture";
  profile_.gen.SetImageType(3);
  Queue({"good1.png", "broken.png", "text.jpg", "good2.gif"});
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), (std::vector<bool>{true, false, false, true}));
  EXPECT_FALSE(Exists(Prog("_FixedImage/broken.png")));
  EXPECT_FALSE(Exists(Prog("_FixedImage/text.png")));
  EXPECT_TRUE(LogLines().empty()) << "a file the codec cannot read is not logged";
  EXPECT_EQ(host_->saveFailures(), 0);
}

TEST_F(ConvertEngineTest, FolderNamedLikeAnImageFailsAtLoading) {
  ASSERT_EQ(::mkdir(In("x.png").c_str(), 0777), 0);
  MakeImage("y.png");
  Queue({"x.png", "y.png"});
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), (std::vector<bool>{false, true}));
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(ConvertEngineTest, MissingSourceAndNamelessSourceAreLogged) {
  MakeImage("ok.png");
  Queue({"gone.png", "ok.png"});
  engine_->Add(W(root_ + "/in") + L"\\", 2);  // a folder path with no name part
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), (std::vector<bool>{false, true, false}));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Utf8(209), Utf8(211)}));
}

TEST_F(ConvertEngineTest, DestinationPathLongerThanTheLimitIsLogged) {
  MakeImage("a.png");
  std::string deep = root_ + "/deep";
  std::string made = deep;
  ASSERT_EQ(::mkdir(made.c_str(), 0777), 0);
  while (made.size() < 2060) {
    made += "/" + std::string(200, 'd');
    ASSERT_EQ(::mkdir(made.c_str(), 0777), 0);
  }
  profile_.translate.SetEnableSaveDirectory(1);
  profile_.translate.SetSaveDirectory(W(made));
  Queue({"a.png"});
  ScriptedUi ui;
  EXPECT_EQ(Converted(Run(ui)), std::vector<bool>{false});
  EXPECT_EQ(LogLines(), std::vector<std::string>{Utf8(208)});
}

// A hand-edited image type: every file fails with one log line; nothing is written.
TEST_F(ConvertEngineTest, ImageTypeOutsideTheTableFailsEveryFile) {
  MakeImage("a.png");
  MakeImage("b.jpg");
  for (int type : {4, -1, 1000000}) {
    SCOPED_TRACE(type);
    profile_.gen.SetImageType(type);
    engine_->Clear();
    Queue({"a.png", "b.jpg"});
    ScriptedUi ui;
    EXPECT_EQ(Converted(Run(ui)), std::vector<bool>(2, false));
    EXPECT_EQ(LogLines(), std::vector<std::string>(2, Utf8(212)));
    EXPECT_FALSE(Exists(Prog("_FixedImage"))) << "nothing is made for a run that cannot write";
  }
}

TEST_F(ConvertEngineTest, LogIsUtf8AppendsWithinAListAndStartsAfreshAfterClear) {
  profile_.translate.SetEnableSaveDirectory(1);
  profile_.translate.SetSaveDirectory(W(root_ + "/nowhere"));
  MakeImage("a.png");
  Queue({"a.png"});
  ScriptedUi ui1;
  Run(ui1);
  Queue({"missing.png"});
  ScriptedUi ui2;
  Run(ui2);  // same list: appended
  EXPECT_EQ(LogLines(), (std::vector<std::string>{Utf8(201), Utf8(209)}));
  const std::string bytes = ReadBytes(Prog("log.txt"));
  EXPECT_EQ(bytes.find("\xEF\xBB\xBF", 3), std::string::npos) << "one byte-order mark only";
  EXPECT_NE(bytes.find(WideToUtf8(L"保存フォルダが存在しません。")), std::string::npos);

  engine_->Clear();  // a new list: the next error starts a new log
  Queue({"missing.png"});
  ScriptedUi ui3;
  Run(ui3);
  EXPECT_EQ(LogLines(), std::vector<std::string>{Utf8(209)});
}

// Cancel before file 2 of 5, then a further run over what is left: its marks go to rows 2..4.
TEST_F(ConvertEngineTest, CancelKeepsTheRestQueuedWithTheirRows) {
  for (const char* n : {"a.png", "b.png", "c.png", "d.png", "e.png"}) MakeImage(n);
  Queue({"a.png", "b.png", "c.png", "d.png", "e.png"});
  ScriptedUi ui;
  ui.cancelAfter = 2;
  const Marks first = Run(ui);
  EXPECT_EQ(Converted(first), (std::vector<bool>{true, true, false, false, false}));
  EXPECT_EQ(ui.events.back(), "confirm stop");
  ASSERT_EQ(engine_->Count(), 3u);
  EXPECT_EQ(engine_->queue().Head().row, 2);
  EXPECT_FALSE(Exists(Prog("_FixedImage/c.jpg")));

  ScriptedUi further;
  const Marks second = Run(further);
  ASSERT_EQ(second.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(second[i].row, static_cast<int>(i + 2));
    EXPECT_TRUE(second[i].converted);
  }
  EXPECT_EQ(further.events.front(), "pos 0/3 c.jpg");
}

TEST_F(ConvertEngineTest, DecliningTheCancelGoesOnAndALaterRequestAsksAgain) {
  for (const char* n : {"a.png", "b.png", "c.png", "d.png"}) MakeImage(n);
  Queue({"a.png", "b.png", "c.png", "d.png"});
  ScriptedUi ui;
  ui.cancelAfter = 1;
  ui.confirmAnswers = {false};
  Run(ui);
  ASSERT_EQ(Converted(Run(ui)).size(), 0u);
  EXPECT_EQ(std::count(ui.events.begin(), ui.events.end(), "confirm go on"), 1);
  EXPECT_EQ(std::count(ui.events.begin(), ui.events.end(), "done 4"), 1);
}

TEST_F(ConvertEngineTest, EmptyQueueRunsNothing) {
  ScriptedUi ui;
  EXPECT_TRUE(Run(ui).empty());
  EXPECT_TRUE(ui.events.empty());
}

// Worker threads change nothing the user sees: the same marks, questions, positions, progress
// and log lines, in the same order, also when two sources share one destination.
TEST_F(ConvertEngineTest, WorkersKeepEveryVisibleStepInOrder) {
  for (const char* n : {"b.gif", "c.bmp", "d.png", "f.jpg"}) MakeImage(n);
  MakeImage("a.png", "plasma:fractal", 2400, 1800);  // slow enough to be still written next
  std::ofstream(In("broken.png")) << "broken";
  ::mkdir((root_ + "/in/sub").c_str(), 0777);
  RunCommand("cp '" + In("b.gif") + "' '" + root_ + "/in/sub/a.gif'");
  auto runWith = [&](unsigned workers) {
    RunCommand("rm -rf '" + Prog("_FixedImage") + "' '" + Prog("log.txt") + "'");
    engine_->Clear();
    EXPECT_EQ(::mkdir(Prog("_FixedImage").c_str(), 0777), 0);
    std::ofstream(Prog("_FixedImage/c.jpg")) << "old";
    profile_.gen.SetImageType(1);
    // sub\a.gif writes a.jpg again, right after a.png: it must wait for that file and ask.
    Queue({"a.png"});
    engine_->Add(W(root_ + "/in/sub") + L"\\a.gif", 1);
    int row = 2;
    for (const char* n : {"b.gif", "missing.png", "c.bmp", "broken.png", "d.png", "f.jpg"}) engine_->Add(Dropped(n), row++);
    EXPECT_FALSE(engine_->Add(Dropped("a.png"), row));
    ScriptedUi ui;
    ui.answers = {OverwriteChoice::kThis, OverwriteChoice::kNo};
    const Marks marks = RunConversion(*engine_, ui, workers);
    // Positions and questions in one order, progress in another: a worker may still be writing
    // file i while the position of file i+1 shows.
    std::vector<std::string> shown, progress;
    for (const std::string& e : ui.events) (e.rfind("done ", 0) == 0 ? progress : shown).push_back(e);
    return std::make_tuple(Converted(marks), shown, progress, LogLines());
  };
  const auto serial = runWith(0);
  EXPECT_EQ(std::get<0>(serial), (std::vector<bool>{true, true, true, false, false, false, true, true}));
  const auto parallel = runWith(2);
  EXPECT_EQ(std::get<0>(parallel), std::get<0>(serial));
  EXPECT_EQ(std::get<1>(parallel), std::get<1>(serial));
  EXPECT_EQ(std::get<2>(parallel), std::get<2>(serial));
  EXPECT_EQ(std::get<3>(parallel), std::get<3>(serial));
  EXPECT_EQ(std::get<3>(serial), (std::vector<std::string>{Utf8(210), Utf8(209), Utf8(210)}));
  EXPECT_EQ(std::get<1>(serial)[1], "pos 1/8 a.jpg");
  EXPECT_EQ(std::get<1>(serial)[2], "ask a.jpg");
}

}  // namespace
}  // namespace pelmo::test
