#!/usr/bin/env bash
# Runs a command with a real sound stack and a real X display of its own:
#   - PulseAudio with a null sink (ZORVANE_TEST_SINK) in a private
#     XDG_RUNTIME_DIR; ALSA's "default" PCM and mixer reach it through the
#     pulse plugin, and a low-latency silent stream keeps the sink running so
#     recordings of its monitor lose neither head nor tail;
#   - Xvfb on a free display (DISPLAY).
# Everything it starts is stopped when the command ends. Exit code: the command's.
# Without PulseAudio the real-sound tests skip, or fail when CI=true.
set -uo pipefail

export ZORVANE_TEST_SINK=zorvane_test
runtime=$(mktemp -d /tmp/zorvane-rt.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
export PULSE_RUNTIME_PATH=$runtime/pulse
# Tests never write the user's settings (the file dialog keeps its history there).
export XDG_CONFIG_HOME=$runtime/config
export HOME_BEFORE=${HOME:-}
pids=()

cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  pulseaudio --kill 2>/dev/null
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$runtime"
}
trap cleanup EXIT

if command -v pulseaudio >/dev/null; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
    --load="module-null-sink sink_name=$ZORVANE_TEST_SINK" \
    --load=module-native-protocol-unix --log-target=stderr 2>"$runtime/pulse.log" || true
  for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  if pactl info >/dev/null 2>&1; then
    pactl set-default-sink "$ZORVANE_TEST_SINK" >/dev/null 2>&1
    pacat --playback --latency-msec=10 --raw --format=s16le --rate=44100 --channels=2 \
      -d "$ZORVANE_TEST_SINK" /dev/zero >/dev/null 2>&1 &
    pids+=($!)
    # The first stream on an idle sink stalls while it starts: let the
    # silent stream be the one that pays for it, before any test plays.
    for _ in $(seq 1 50); do
      [ -n "$(pactl list short sink-inputs 2>/dev/null)" ] && break
      sleep 0.1
    done
  else
    echo "with-sound-stack: PulseAudio did not start; tests that need it will skip (fail with CI=true)" >&2
    sed 's/^/  pulseaudio: /' "$runtime/pulse.log" >&2
    unset ZORVANE_TEST_SINK
  fi
else
  echo "with-sound-stack: pulseaudio is not installed" >&2
  unset ZORVANE_TEST_SINK
fi

if command -v Xvfb >/dev/null; then
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    xpid=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xpid" 2>/dev/null; then export DISPLAY=":$n"; pids+=("$xpid"); break; fi
  done
fi

"$@"
