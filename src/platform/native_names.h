#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Native file names are bytes; the program's texts are Unicode. Names copied from older
// disks and discs are often not UTF-8 (Latin-1 "caf\xe9.mpg"), and Qt's own conversion turns
// every such byte into U+FFFD, after which the file can never be found again. This pair
// converts without loss: a byte that is not part of valid UTF-8 becomes one character of the
// private-use range U+EF80 .. U+EFFF (U+EF00 + the byte) and goes back to that byte. A name
// that holds such a character as real UTF-8 has each of its bytes mapped the same way, so
// every byte string comes back unchanged. The texts are valid Unicode throughout (no lone
// surrogates), so they can be shown, sorted and handed to accessibility as any other.
//
// Every native name or path enters the program through fromNativeBytes and leaves it (to a
// system call, to the worker) through toNativeBytes; QFile and QFileInfo would use Qt's lossy
// conversion, so paths that may hold such names are not given to them.

QString fromNativeBytes(const QByteArray &bytes);
QByteArray toNativeBytes(const QString &text);

// A local file's address ("file:///home/ann/caf%E9.mpg") and its native path, both ways with
// the name's bytes percent-encoded as they are: Qt's own conversion of addresses would turn a
// byte that is not UTF-8 into U+FFFD. An address with a host (a share as the desktop names
// it) is taken as Qt takes it.
QString nativePathOfFileUrl(const QUrl &url);
QUrl fileUrlOfNativePath(const QString &nativePath);

// What is at a native path (symbolic links followed).
enum class NativeKind { Missing, File, Folder, Other };
NativeKind nativeKindOf(const QString &nativePath);
