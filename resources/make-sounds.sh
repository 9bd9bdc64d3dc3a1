#!/usr/bin/env bash
# Makes the cockpit's 33 sounds in resources/sounds/NAME.wav (16-bit PCM, mono, 22050 Hz):
# synthesised tones, chimes and noises (sox) and voice call-outs (espeak-ng). Only needed to
# make them again; the build uses the committed WAV files.
# usage: resources/make-sounds.sh   (needs: apt-get install sox espeak-ng)
set -euo pipefail
cd "$(dirname "$0")"
for tool in sox espeak-ng; do
  command -v "$tool" >/dev/null || { echo "make-sounds: $tool is missing (apt-get install sox espeak-ng)" >&2; exit 1; }
done
out=sounds
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# -R: repeatable noise, -D: no dither, so that the files come out the same on every run.
fmt=(-r 22050 -c 1 -b 16 -e signed-integer)
gen() { local f=$1; shift; sox -R -D -n "${fmt[@]}" "$f" "$@"; }
mix() { local f=$1; shift; sox -R -D -m "$@" "${fmt[@]}" "$f"; }
cat_() { local f=$1; shift; sox -R -D "$@" "${fmt[@]}" "$f"; }
# Final pass: level, then a plain 16-bit PCM file.
finish() { local name=$1 src=$2 gain=${3:--1}; sox -R -D "$src" "${fmt[@]}" "$out/$name.wav" gain -n "$gain"; }

# ---- voice call-outs: band-limited like a cockpit speaker, silence trimmed
voice() {
  local name=$1 text=$2
  espeak-ng -v en-us -s 165 -p 30 -a 110 -w "$tmp/v.wav" "$text"
  sox -R -D "$tmp/v.wav" "${fmt[@]}" "$tmp/v2.wav" \
    silence 1 0.01 1% reverse silence 1 0.01 1% reverse gain -3 highpass 250 lowpass 3800
  sox -R -D "$tmp/v2.wav" "${fmt[@]}" "$tmp/v3.wav" fade t 0.005 -0 0.02
  finish "$name" "$tmp/v3.wav" -1
}
voice DONTSNK "don't sink"
voice GLIDESLOPE "glide slope"
voice SNKRATE "sink rate"
voice TERRAIN "terrain"
voice TOOLOWFLAPS "too low, flaps"
voice TOOLOWGEAR "too low, gear"
voice TOOLOWTERRAIN "too low, terrain"
voice V80KTS "eighty knots"
voice V1KTS "V one"
voice VRKTS "rotate"
# Two rising whoops ahead of the spoken "pull up".
gen "$tmp/whoop.wav" synth 0.28 square 300-900 gain -8 lowpass 2000 fade t 0.01 0.28 0.04 gain -6 pad 0 0.05
espeak-ng -v en-us -s 165 -p 30 -a 110 -w "$tmp/pu.wav" "pull up"
sox -R -D "$tmp/pu.wav" "${fmt[@]}" "$tmp/pu2.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse \
  gain -3 highpass 250 lowpass 3800
cat_ "$tmp/wpu.wav" "$tmp/whoop.wav" "$tmp/whoop.wav" "$tmp/pu2.wav"
finish WPULLUP "$tmp/wpu.wav" -1

# ---- switch clicks
gen "$tmp/click.wav" synth 0.03 whitenoise gain -8 highpass 1500 fade t 0 0.03 0.027
finish CLICK "$tmp/click.wav" -3
gen "$tmp/c1.wav" synth 0.03 whitenoise gain -8 highpass 1500 fade t 0 0.03 0.027 pad 0 0.07
cat_ "$tmp/clic3.wav" "$tmp/c1.wav" "$tmp/c1.wav" "$tmp/c1.wav"
finish CLICLICLIC "$tmp/clic3.wav" -3

# ---- cabin sign chimes: one high, one low bell tone
bell() {  # file freq length
  gen "$tmp/b1.wav" synth "$3" sine "$2" fade l 0.005 "$3" "$3"
  gen "$tmp/b2.wav" synth "$3" sine "$(awk -v f="$2" 'BEGIN { print f * 2.76 }')" fade l 0.005 "$3" "$3" gain -12
  mix "$1" "$tmp/b1.wav" "$tmp/b2.wav"
}
bell "$tmp/hi.wav" 1047 0.7; finish HI "$tmp/hi.wav" -3
bell "$tmp/lo.wav" 784 0.7; finish LO "$tmp/lo.wav" -3

# ---- marker beacons (looped while over the beacon): outer 400 Hz dashes, middle 1300 Hz
# dot-dash, inner 3000 Hz dots
gen "$tmp/outer.wav" synth 0.375 sine 400 fade t 0.005 0.375 0.005 pad 0 0.125 repeat 1
finish OUTER "$tmp/outer.wav" -3
gen "$tmp/mdot.wav" synth 0.125 sine 1300 fade t 0.005 0.125 0.005 pad 0 0.125
gen "$tmp/mdash.wav" synth 0.375 sine 1300 fade t 0.005 0.375 0.005 pad 0 0.125
cat_ "$tmp/middle.wav" "$tmp/mdot.wav" "$tmp/mdash.wav"
finish MIDDLE "$tmp/middle.wav" -3
gen "$tmp/inner.wav" synth 0.083 sine 3000 fade t 0.005 0.083 0.005 pad 0 0.084 repeat 3
finish INNER "$tmp/inner.wav" -3

# ---- overspeed clacker and stall cricket (looped)
gen "$tmp/clack.wav" synth 0.02 whitenoise bandpass 1800 600 fade t 0 0.02 0.018 pad 0 0.08 repeat 7
finish CLACKER "$tmp/clack.wav" -2
gen "$tmp/chirp.wav" synth 0.02 sine 4200 fade t 0.003 0.02 0.005 pad 0 0.02 repeat 2 pad 0 0.16
cat_ "$tmp/cricket.wav" "$tmp/chirp.wav" "$tmp/chirp.wav"
finish CRICKET "$tmp/cricket.wav" -3

# ---- chimes: a single chime, and the continuous chime (looped)
gen "$tmp/g1.wav" synth 1.0 sine 660 fade l 0.005 1.0 0.95
gen "$tmp/g2.wav" synth 1.0 sine 990 fade l 0.005 1.0 0.9 gain -6
mix "$tmp/gong.wav" "$tmp/g1.wav" "$tmp/g2.wav"
finish GONGMONO "$tmp/gong.wav" -2
gen "$tmp/gc1.wav" synth 0.5 sine 880 fade l 0.005 0.5 0.45
gen "$tmp/gc2.wav" synth 0.5 sine 1320 fade l 0.005 0.5 0.45 gain -6
mix "$tmp/gongc.wav" "$tmp/gc1.wav" "$tmp/gc2.wav"
finish GONGCONT "$tmp/gongc.wav" -2

# ---- klaxons: continuous (gear) and intermittent (configuration), both looped
gen "$tmp/k1.wav" synth 0.5 square 370 gain -8 lowpass 2500
gen "$tmp/k2.wav" synth 0.5 square 440 gain -8 lowpass 2500
mix "$tmp/kc.wav" "$tmp/k1.wav" "$tmp/k2.wav"
finish KLAXONCONT "$tmp/kc.wav" -4
sox -R -D "$tmp/kc.wav" "${fmt[@]}" "$tmp/ki.wav" trim 0 0.35 fade t 0.005 0.35 0.01 pad 0 0.25
finish KLAXONINT "$tmp/ki.wav" -4

# ---- altitude alert: a short chord, and the repeating deviation tone (looped)
gen "$tmp/r1.wav" synth 0.8 sine 523 fade l 0.01 0.8 0.6
gen "$tmp/r2.wav" synth 0.8 sine 659 fade l 0.01 0.8 0.6
gen "$tmp/r3.wav" synth 0.8 sine 784 fade l 0.01 0.8 0.6
mix "$tmp/re.wav" "$tmp/r1.wav" "$tmp/r2.wav" "$tmp/r3.wav"
finish RE "$tmp/re.wav" -2
sox -R -D "$tmp/re.wav" "${fmt[@]}" "$tmp/rerep.wav" trim 0 0.4 fade t 0 0.4 0.1 pad 0 0.3
finish REREP "$tmp/rerep.wav" -2

# ---- fire bell (looped): fast strikes of a bright bell
gen "$tmp/s1.wav" synth 0.09 sine 1900 fade l 0 0.09 0.085
gen "$tmp/s2.wav" synth 0.09 sine 2650 fade l 0 0.09 0.085 gain -4
mix "$tmp/strike.wav" "$tmp/s1.wav" "$tmp/s2.wav"
sox -R -D "$tmp/strike.wav" "${fmt[@]}" "$tmp/bell.wav" repeat 7
finish SONNERIE "$tmp/bell.wav" -2

# ---- pitch trim wheel, brakes, autopilot disconnect
gen "$tmp/wroof.wav" synth 0.35 brownnoise lowpass 400 synth 0.35 sine amod 18 fade t 0.02 0.35 0.2
finish WROOF "$tmp/wroof.wav" -3
gen "$tmp/brakes.wav" synth 0.6 pinknoise bandpass 2800 900 fade t 0.05 0.6 0.3
finish BRAKESSND "$tmp/brakes.wav" -6
charge=""
for note in 392 523 659 784:0.24 659 784:0.4; do
  f=${note%%:*}; d=0.12; [ "$note" != "$f" ] && d=${note#*:}
  gen "$tmp/n$f-$d.wav" synth "$d" sawtooth "$f" gain -6 lowpass 3000 fade t 0.01 "$d" 0.03
  charge="$charge $tmp/n$f-$d.wav"
done
# shellcheck disable=SC2086
cat_ "$tmp/galop.wav" $charge
finish GALOPAP "$tmp/galop.wav" -3

# ---- air conditioning: a loopable hum (whole cycles of the hum in the loop), and its start
# and stop
gen "$tmp/ac_noise.wav" synth 1.0 pinknoise gain -4 lowpass 900
gen "$tmp/ac_hum.wav" synth 1.0 sine 100 gain -14
mix "$tmp/ac.wav" "$tmp/ac_noise.wav" "$tmp/ac_hum.wav"
finish AIRCOND "$tmp/ac.wav" -10
gen "$tmp/ace_noise.wav" synth 0.8 pinknoise gain -4 lowpass 900 fade t 0.7 0.8 0
gen "$tmp/ace_hum.wav" synth 0.8 sine 50-100 gain -14 fade t 0.7 0.8 0
mix "$tmp/ace.wav" "$tmp/ace_noise.wav" "$tmp/ace_hum.wav"
finish AIRCONDENT "$tmp/ace.wav" -10
gen "$tmp/acs_noise.wav" synth 0.8 pinknoise gain -4 lowpass 900 fade t 0 0.8 0.75
gen "$tmp/acs_hum.wav" synth 0.8 sine 100-50 gain -14 fade t 0 0.8 0.75
mix "$tmp/acs.wav" "$tmp/acs_noise.wav" "$tmp/acs_hum.wav"
finish AIRCONDSORT "$tmp/acs.wav" -10

count=$(ls "$out"/*.wav | wc -l)
bytes=$(cat "$out"/*.wav | wc -c)
echo "make-sounds: $count sounds, $bytes bytes in $out/"
