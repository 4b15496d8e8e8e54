"""Drives the simulator with Python's ftplib, in passive and active mode.

Usage: ftplib_client.py PORT. Prints "mode.key=value" lines.
"""
import ftplib
import io
import sys
import time

port = int(sys.argv[1])


def fetch(ftp, name):
    buf = bytearray()
    ftp.retrbinary("RETR " + name, buf.extend)
    return bytes(buf)


for passive in (True, False):
    mode = "passive" if passive else "active"
    out = {}
    ftp = ftplib.FTP()
    ftp.connect("127.0.0.1", port, timeout=10)
    ftp.login("melgar", "")
    ftp.set_pasv(passive)
    out["names"] = ",".join(sorted(ftp.nlst()))
    out["size"] = ftp.size("spectrum:")
    block = fetch(ftp, "spectrum:")
    out["spectrum_len"] = len(block)
    out["centre"] = int.from_bytes(block[2:6], "big")
    out["capture"] = ftp.storbinary("STOR capt_spec:", io.BytesIO(b"\x01"))[:3]
    out["status_word"] = int.from_bytes(fetch(ftp, "/spectrum:")[0:2], "big")
    orb = fetch(ftp, "orbscope:")
    out["orbscope"] = "%d,%d,%d" % (len(orb), orb[2048], orb[2049])
    out["flash"] = ftp.storbinary("STOR bulk:", io.BytesIO(bytes(range(256)) * 400))[:3]
    deadline = time.monotonic() + 10
    status = ""
    while time.monotonic() < deadline:
        status = fetch(ftp, "status:").decode()
        done, total = status.split(" of ")
        if done == total:
            break
        time.sleep(0.02)
    out["status"] = status
    try:
        ftp.size("../etc/passwd")
        out["escape"] = "allowed"
    except ftplib.error_perm as e:
        out["escape"] = str(e)[:3]
    ftp.quit()
    for key, value in out.items():
        print("%s.%s=%s" % (mode, key, value))
sys.stdout.flush()
