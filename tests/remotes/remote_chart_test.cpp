#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/remote_cl.h"

namespace {

using RemoteChart = RemoteFolderTest;

const char kHead[] =
    "<!-- - \n; - KORU / REMOTE-CHART \n; - -->\n"
    "<HTML>\n<HEAD>\n<TITLE> KORU Chart </TITLE>\n"
    "<BASEFONT FACE='VERDANA,ARIAL,HELVETICA' size='1'>\n"
    "<style>\n td,tr,table {  font-family:Verdana, Arial, Helvetica, sans-serif; "
    "text-align:center; font-size: 10px;}\n</style>\n"
    "</HEAD>\n<BODY BGCOLOR='#ebebdd'>\n"
    "<TABLE BORDER='1' cellspacing='0' cellpadding='0'>\n";

const char kHeaderRow[] =
    "<TR BGCOLOR='#aaefaa'><TD><center>Remote-Name</TD><TD><center> N0 </TD><TD><center> N1 "
    "</TD><TD><center> N2 </TD><TD><center> N3 </TD><TD><center> N4 </TD><TD><center> N5 "
    "</TD><TD><center> N6 </TD><TD><center> N7 </TD><TD><center> N8 </TD><TD><center> N9 "
    "</TD><TD><center> up </TD><TD><center> down </TD><TD><center> left </TD><TD><center> "
    "right </TD><TD><center> Vol+ </TD><TD><center> Vol- </TD><TD><center> Mute "
    "</TD><TD><center> Power </TD><TD><center> OK </TD><TD><center> Tab </TD><TD><center> "
    "Menu </TD><TD><center> FAV </TD><TD><center> Eject </TD><TD><center> Prg+ "
    "</TD><TD><center> Prg- </TD><TD><center> |<< </TD><TD><center> || </TD><TD><center> > "
    "</TD><TD><center> >>| </TD><TD><center> [] </TD><TD><center> Rec. </TD>\n"
    "<TD>header</TD><TD><nobr>C-Byte</TD><TD><nobr>Chk.</TD></TR>\n";

std::time_t Noon() {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 6;
  when.tm_hour = 12;
  when.tm_min = 5;
  when.tm_isdst = -1;
  return std::mktime(&when);
}

std::string Cells(const std::string& cell, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += cell;
  return text;
}

TEST_F(RemoteChart, EmptyListGivesTwoHeaderRowsAndNoRecordRow) {
  RemoteCL library;
  RemoteList list;
  ASSERT_EQ(library.Chart4Remotes(&list, Noon()), kOk);
  EXPECT_EQ(Read("_Chart.html"), std::string(kHead) +
                                     "We have 0 Remotes  [2026/12/06 12:05] <br>\n" + kHeaderRow +
                                     kHeaderRow + "</TABLE>\n</HTML>\n");
  ASSERT_EQ(library.ChartData4Remotes(&list, Noon()), kOk);
  EXPECT_EQ(Read("_ChartData.html"), std::string(kHead) +
                                         "We have 0 Remotes [2026/12/06 12:05] <br>\n" +
                                         kHeaderRow + kHeaderRow + "</TABLE>\n</HTML>\n");
  FileNode node(folder_ / "_Chart.html");
  EXPECT_EQ(ReadKoruType(node), kKoruChartFile);
}

TEST_F(RemoteChart, RowsShowKeysCodesAndOriginColours) {
  RemoteCL library;
  RemoteList list;
  list.push_back(std::make_unique<RemoteCL>());
  list.back()->fName = "Mine";
  list.back()->fComHead = 7;
  list.back()->fComByte = 2;
  list.back()->SetSlot(2, 44);  // N1
  list.push_back(nullptr);
  list.push_back(std::make_unique<RemoteCL>());
  list.back()->fName = "Blank";
  list.back()->fKind = kKindMod;
  list.push_back(std::make_unique<RemoteCL>());
  list.back()->fName = "<b>A&B \"#1\"?";  // escaped for HTML and for links

  ASSERT_EQ(library.Chart4Remotes(&list, Noon()), kOk);
  const std::string keys = Read("_Chart.html");
  const std::string mine_keys =
      "\n<TR BGCOLOR='#ff88ff'><TD align='right'> <a href=\"Mine\"> Mine </a> </TD><TD>-"
      "</TD><TD BGCOLOR='#aaefaa'>x" +
      Cells("</TD><TD>-", 29) + "</TD><TD> 7 </TD><TD> 2 </TD><TD>User</TD></TR>\n";
  EXPECT_NE(keys.find(mine_keys), std::string::npos) << keys;
  EXPECT_NE(keys.find("We have 4 Remotes  "), std::string::npos);
  // The key chart classifies every row first: "Blank" is no built-in remote.
  EXPECT_EQ(list[2]->fKind, kKindUser);

  list[2]->fKind = kKindMod;
  list[0]->fKind = kKindOrg;
  ASSERT_EQ(library.ChartData4Remotes(&list, Noon()), kOk);
  const std::string codes = Read("_ChartData.html");
  const std::string mine_codes =
      "\n<TR><TD align='right'> <a href=\"Mine\"> Mine </a> </TD><TD> 0"
      "</TD><TD> 44" +
      Cells("</TD><TD> 0", 29) + "</TD><TD> 7 </TD><TD> 2 </TD><TD>Org.</TD></TR>\n";
  EXPECT_NE(codes.find(mine_codes), std::string::npos) << codes;
  EXPECT_NE(codes.find("\n<TR BGCOLOR='#ffff88'><TD align='right'> <a href=\"Blank\">"),
            std::string::npos);
  EXPECT_NE(codes.find("<a href=\"%3Cb%3EA%26B%20%22%231%22%3F\"> "
                       "&lt;b&gt;A&amp;B &quot;#1&quot;? </a>"),
            std::string::npos);
}

TEST_F(RemoteChart, NoListOrUnwritableFolderWritesNothing) {
  RemoteCL library;
  TraceCapture trace;
  EXPECT_NE(library.Chart4Remotes(nullptr), kOk);
  EXPECT_TRUE(trace.Contains(" Chart4Remotes:  no list given\n"));
  RemoteList list;
  list.push_back(std::make_unique<RemoteCL>());
  list.back()->fName = "DENON";
  list.back()->SetSlot(1, 5);
  std::filesystem::remove(folder_);
  EXPECT_NE(library.ChartData4Remotes(&list), kOk);
  EXPECT_TRUE(trace.Contains("_ChartData.html' OpenError!\n"));
  EXPECT_NE(library.Chart4Remotes(&list), kOk);
  EXPECT_EQ(list[0]->fKind, kKindErr);  // records stay unclassified
  EXPECT_EQ(list[0]->fCheckSum, 0);
  std::filesystem::create_directory(folder_);
}

}  // namespace
