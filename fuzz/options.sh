# Sourced by scripts/fuzz.sh and fuzz/campaign.sh: fuzz_options TARGET prints the libFuzzer
# options of one target, one a line.
fuzz_options() {
  local max_len=4096
  # An Ogg Vorbis file's headers alone take 2.5 to 3.7 KB: a chained file needs room for two.
  [ "$1" = sound_sample ] && max_len=8192
  printf '%s\n' "-max_len=$max_len" -timeout=25 -rss_limit_mb=2048
  if [ -f "fuzz/dict/$1.dict" ]; then printf '%s\n' "-dict=fuzz/dict/$1.dict"; fi
}
