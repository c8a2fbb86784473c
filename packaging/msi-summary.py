#!/usr/bin/env python3
"""Sets the package code and the dates of a Windows Installer package's summary information.

wixl draws the package code (the summary's revision number) from the random generator and
dates the package with the clock, and takes neither from outside; this sets them afterwards
through msitools' libmsi, so that the same inputs make the same package.
Usage: msi-summary.py PACKAGE PACKAGE_CODE EPOCH
"""
import ctypes
import sys

# Summary information property identifiers (the published PIDSI_* numbers).
PID_REVNUMBER = 9
PID_CREATE_DTM = 12
PID_LASTSAVE_DTM = 13
DB_FLAGS_TRANSACT = 4  # open for change; commit writes the file
FILETIME_UNIX_EPOCH = 11644473600  # seconds from 1601-01-01 to 1970-01-01


def filetime(epoch: int) -> int:
    """100-nanosecond units since 1601, as FILETIME counts."""
    return (epoch + FILETIME_UNIX_EPOCH) * 10_000_000


def main() -> int:
    path, code, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    msi = ctypes.CDLL("libmsi.so.0")
    pointer, error = ctypes.c_void_p, ctypes.c_void_p  # every call takes a GError** last
    msi.libmsi_database_new.restype = pointer
    msi.libmsi_database_new.argtypes = [ctypes.c_char_p, ctypes.c_uint, ctypes.c_char_p, error]
    msi.libmsi_summary_info_new.restype = pointer
    msi.libmsi_summary_info_new.argtypes = [pointer, ctypes.c_uint, error]
    msi.libmsi_summary_info_set_string.argtypes = [pointer, ctypes.c_int, ctypes.c_char_p, error]
    msi.libmsi_summary_info_set_filetime.argtypes = [pointer, ctypes.c_int, ctypes.c_uint64, error]
    msi.libmsi_summary_info_persist.argtypes = [pointer, error]
    msi.libmsi_database_commit.argtypes = [pointer, error]

    database = msi.libmsi_database_new(path.encode(), DB_FLAGS_TRANSACT, None, None)
    summary = msi.libmsi_summary_info_new(database, 3, None) if database else None
    done = bool(summary)
    if done:
        done = (msi.libmsi_summary_info_set_string(summary, PID_REVNUMBER,
                                                   f"{{{code.upper()}}}".encode(), None) and
                msi.libmsi_summary_info_set_filetime(summary, PID_CREATE_DTM, filetime(epoch),
                                                     None) and
                msi.libmsi_summary_info_set_filetime(summary, PID_LASTSAVE_DTM, filetime(epoch),
                                                     None) and
                msi.libmsi_summary_info_persist(summary, None) and
                msi.libmsi_database_commit(database, None))
    if not done:
        print(f"msi-summary.py: cannot set the summary information of {path}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
