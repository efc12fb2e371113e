#pragma once

#include "testutil.h"

#include <QFile>

namespace qs::test {

// A small site with one problem of each kind, and links that are fine written in every way.
inline void writeCheckedSite(const TempDir& dir) {
    writeFile(dir("Index.htm"), "<HTML><HEAD><TITLE>Accueil</TITLE></HEAD>\r\n"
                                "<BODY BACKGROUND=\"images/domaine.gif\">\r\n"
                                "<A HREF=\"D/Index.htm\">D</A> <A HREF=\"https://ext.example/\">web</A>\r\n"
                                "<A HREF=\"mailto:x@y.fr\">mail</A> <IMG SRC=\"images/Logo.GIF\">\r\n"
                                "</BODY></HTML>\r\n");
    writeFile(dir("images/logo.gif"), "GIF89a");
    writeFile(dir("images/unused.gif"), "GIF89a");
    writeFile(dir("images/listed.gif"), "GIF89a");
    writeFile(dir("D/Index.htm"),
              "<TITLE> </TITLE>\r\n"
              "<A HREF='C/Index.htm'><A HREF=\"C/1.htm#sec\"><A HREF=C/1.htm#absent>\r\n"
              "<A\r\n  HREF = \"missing.htm\"><A HREF=\"../index.htm\"><A HREF=\"C/2.htm?x=1\">\r\n"
              "<!-- <A HREF=\"commented.htm\"> --><SCRIPT>x = '<A HREF=\"script.htm\">';</SCRIPT>\r\n"
              "<A HREF=\"C/%32.htm\" TITLE=\"a > b\"><A HREF=\"C/\"><A HREF=\"/D/C/1.htm\">\r\n");
    writeFile(dir("D/C/Index.htm"), "<TITLE>C</TITLE><FRAMESET><FRAME SRC=\"IndexG.htm\"></FRAMESET>");
    writeFile(dir("D/C/IndexG.htm"), "<TITLE>C</TITLE><A HREF=\"1.htm\"><A HREF=\"2.htm\">");
    writeFile(dir("D/C/1.htm"), "<TITLE>Un</TITLE>\r\n<H2 id=\"sec\">x</H2>\r\n"
                                "<A HREF=\"#sec\"><A HREF=\"#ailleurs\"><A HREF=\"3.htm\">");
    writeFile(dir("D/C/2.htm"), "<TITLE>Deux</TITLE>");
    writeFile(dir("D/C/3.htm"), "<TITLE>Trois</TITLE>");
    writeFile(dir("D/C/4.htm"), "<TITLE>Quatre</TITLE>");
    writeFile(dir("D/C/ImgIndex.htm"), "<TITLE>Images</TITLE><IMG SRC=\"../../images/listed.gif\">");
}

// An expected report of tests/data/check, with "SITE/" standing for the site's folder.
inline QByteArray expectedReport(const QString& name, const TempDir& dir) {
    QByteArray bytes = readFile(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/check/") + name);
    return bytes.replace("SITE/", dir.path().toUtf8());
}

} // namespace qs::test
