#include "net/multipart_body.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "platform/app_error.h"
#include "platform/text_codec.h"

namespace {

const char kBoundary[] = "0A1B2C3D_Synapse_boundary";

class MultipartBodyTest : public testing::Test {
 protected:
  QString WriteFile(const QString& name, const QByteArray& content) {
    const QString path = dir_.filePath(name);
    WriteFileBytes(path, content);
    return path;
  }

  QTemporaryDir dir_;
};

TEST_F(MultipartBodyTest, UpfileStyleByteForByte) {
  const QString path = WriteFile("Qorv_ADIF_1.tq8", QByteArray("\x1F\x8B\x00tq8\r\n", 8));
  MultipartBody body{QString(kBoundary)};
  body.AddFilePart(MultipartStyle::kUpfile, path);
  body.CloseBody(MultipartStyle::kUpfile);
  EXPECT_EQ(body.Bytes(),
            "--0A1B2C3D_Synapse_boundary\r\n"
            "content-disposition: form-data; name=\"upfile\"; filename=\"" +
                path.toUtf8() +
                "\"\r\n"
                "Content-Type: Application/octet-string\r\n"
                "\r\n" +
                QByteArray("\x1F\x8B\x00tq8\r\n", 8) + "\r\n--0A1B2C3D_Synapse_boundary--\r\n");
  EXPECT_EQ(body.ContentType(), "multipart/form-data; boundary=0A1B2C3D_Synapse_boundary");
}

TEST_F(MultipartBodyTest, FileStyleWithTextFieldsByteForByte) {
  // A last line without its line end gets the closing delimiter appended to it.
  const QString path = WriteFile("upload.adi", "<CALL:4>W1AW<EOR>");
  MultipartBody body{QString(kBoundary)};
  body.AddTextField("email", "op@example.org");
  body.AddTextField(QString::fromUtf8("pass\"word"), QString::fromUtf8("s3cr€t"));
  body.AddFilePart(MultipartStyle::kFile, path);
  body.CloseBody(MultipartStyle::kFile);
  EXPECT_EQ(body.Bytes(),
            "--0A1B2C3D_Synapse_boundary\r\n"
            "Content-Disposition: form-data; name=\"email\"\r\n"
            "Content-Type: text/plain\r\n"
            "\r\n"
            "op@example.org\r\n"
            "--0A1B2C3D_Synapse_boundary\r\n"
            "Content-Disposition: form-data; name=\"pass\"\"word\"\r\n"
            "Content-Type: text/plain\r\n"
            "\r\n"
            "s3cr\x80t\r\n"
            "--0A1B2C3D_Synapse_boundary\r\n"
            "Content-disposition: form-data; name=\"file\"; filename=\"" +
                path.toUtf8() +
                "\"\r\n"
                "Content-Type: Application/octet-stream\r\n"
                "\r\n"
                "<CALL:4>W1AW<EOR>--0A1B2C3D_Synapse_boundary--\r\n");
}

TEST_F(MultipartBodyTest, EmptyFileAndAnsiFileName) {
  const QString path = WriteFile(QString::fromUtf8("leer é.adi"), "");
  const QByteArray disposition_tail = "; filename=\"" + ToAnsi(path) + "\"\r\n";
  ASSERT_TRUE(disposition_tail.contains('\xE9'));

  MultipartBody file_style{QString(kBoundary)};
  file_style.AddFilePart(MultipartStyle::kFile, path);
  file_style.CloseBody(MultipartStyle::kFile);
  EXPECT_EQ(file_style.Bytes(),
            "--0A1B2C3D_Synapse_boundary\r\n"
            "Content-disposition: form-data; name=\"file\"" +
                disposition_tail +
                "Content-Type: Application/octet-stream\r\n"
                "\r\n"
                "--0A1B2C3D_Synapse_boundary--\r\n");

  MultipartBody upfile_style{QString(kBoundary)};
  upfile_style.AddFilePart(MultipartStyle::kUpfile, path);
  upfile_style.CloseBody(MultipartStyle::kUpfile);
  EXPECT_EQ(upfile_style.Bytes(),
            "--0A1B2C3D_Synapse_boundary\r\n"
            "content-disposition: form-data; name=\"upfile\"" +
                disposition_tail +
                "Content-Type: Application/octet-string\r\n"
                "\r\n"
                "\r\n--0A1B2C3D_Synapse_boundary--\r\n");
}

TEST_F(MultipartBodyTest, MissingFileIsAnError) {
  const QString path = dir_.filePath("gone.tq8");
  MultipartBody body{QString(kBoundary)};
  try {
    body.AddFilePart(MultipartStyle::kUpfile, path);
    FAIL() << "no error for a missing file";
  } catch (const AppError& error) {
    EXPECT_TRUE(error.Message().startsWith("Cannot open file \"" + path + "\". "))
        << error.Message().toStdString();
  }
}

TEST(MultipartBoundary, EightHexDigitsAndFreshEveryTime) {
  const QRegularExpression format("^[0-9A-F]{8}_Synapse_boundary$");
  QSet<QString> seen;
  for (int i = 0; i < 50; ++i) {
    const QString boundary = MultipartBody::MakeBoundary();
    EXPECT_TRUE(format.match(boundary).hasMatch()) << boundary.toStdString();
    EXPECT_EQ(boundary.size(), 25);
    seen.insert(boundary);
  }
  EXPECT_EQ(seen.size(), 50);
  // A body made without a boundary draws its own.
  EXPECT_NE(MultipartBody().Boundary(), MultipartBody().Boundary());
}

}  // namespace
