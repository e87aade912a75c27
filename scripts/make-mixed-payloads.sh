#!/usr/bin/env bash
# Writes the mixed payload file the binding comparisons read (one payload a line; lines end in LF, a
# few in CR LF or a lone CR, with blank lines among them): valid payloads, payloads that break each
# family of rules, texts that do not decode, and single-character-scheme payloads, with CJK and
# other non-ASCII text among the values.
# The output is deterministic; regenerate it only when the mix itself should change:
#   scripts/make-mixed-payloads.sh build/bin/pavenda > tests/data/mixed-payloads.txt
set -euo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 PAVENDA_EXECUTABLE > FILE" >&2
  exit 2
fi
pavenda=$1
export LC_ALL=C.UTF-8

# Each list mixes mostly valid values with the ones that raise codes; "-" leaves the field out.
merchant_ids=(4000000000000002 4000000000000002 4111111111111111 4000000000000002 5000000000000009
  4000000000000003 4000001 40000000000000000002 4000000000000002 "" -)
names=("Saffron Kitchen" "Lakshmi Stores" "金龙茶馆" "Café Müller" "Кофейня Пушкин" "مطعم الياسمين"
  "สยามคาเฟ่" "Zoë's Bistro" "Ñandú Tienda" "A Very Long Merchant Name Indeed" "" - "Lakshmi*Stores!")
cities=(Bengaluru Chennai 上海 München Москва "São Paulo" "Ho Chi Minh Cty" "An Overly Long City Name" "" - Mumbai)
mccs=(5812 5411 5999 581 58121 "" - 5812 5411)
currencies=(356 356 840 978 35 3566 "" - 356 036)
amounts=("450.00" - "12.5" "0" "-3" "1.2.3" "" "12345678901234" "99" "0.00" - "abc" "7.25")
tips=(- - 01 02 03 04 02 03 "" 01)
fees=("10.00" "0" "" "1234567890" "-1" "5")
pcts=("2.5" "0" "" "123456" "-2" "10")
countries=(IN IN US DE CN I 123 "" - IN JP)
postals=(560001 - 10115 "" 12345678901 - 400001)
bills=("INV-20261206-17" - "账单-42" "B-0001" "" "A-Bill-Number-Longer-Than-Twenty-Six" - "Rechnung Nr. 7")
requests=(- - AME M X "" E MEX)
primary_ids=(- 9876543210 "" 12345 "Primary ID Far Too Long For It" - 98765X3210)
secondary_ids=(- "SUB-1" "" "会员-88" - "Secondary ID Far Too Long To Fit")
langs=(- - ZH "" DE ZHO - RU)

json_str() {
  local s=${1//\\/\\\\}
  s=${s//\"/\\\"}
  printf '"%s"' "$s"
}

# Appends `"key": "value"` to the object being built unless the value is "-".
# An empty value never decodes in the two-digit scheme (length 00), so only a few payloads keep one.
add() {
  [ "$2" = - ] && return 0
  [ -z "$2" ] && ((i % 40 != 9)) && return 0
  obj+="${obj:+,}$(json_str "$1"):$(json_str "$2")"
}

pick() {
  local -n list=$1
  printf '%s' "${list[$(($2 % ${#list[@]}))]}"
}

encode_one() {
  local i=$1 tip
  obj=""
  local pfi=01
  ((i % 97 == 5)) && pfi=02
  ((i % 97 == 50)) && pfi=001
  add payloadFormatIndicator "$pfi"
  add pointOfInitiation "$( ((i % 2)) && echo 11 || echo 12)"
  add zArodezMerchantID "$(pick merchant_ids "$i")"
  if ((i % 5 == 0)); then
    obj+=',"tag26":{"00":"com.example.acquirer","01":"MID-0042"}'
  elif ((i % 23 == 7)); then
    obj+=',"tag27":{"01":"no-unique-identifier"}'
  fi
  add merchantCategoryCode "$(pick mccs $((i / 3)))"
  add currencyCode "$(pick currencies $((i / 7)))"
  add transactionAmount "$(pick amounts $((i / 2)))"
  tip=$(pick tips $((i / 5)))
  add tipAndFeeIndicator "$tip"
  case "$tip" in
    02) add convenienceFeeAmount "$(pick fees $((i / 11)))" ;;
    03) add convenienceFeePercentage "$(pick pcts $((i / 11)))" ;;
    01) ((i % 3 == 0)) && add convenienceFeeAmount "1.00" ;;
    *) ((i % 13 == 0)) && add convenienceFeePercentage "3" ;;
  esac
  add countryCode "$(pick countries $((i / 13)))"
  add merchantName "$(pick names "$i")"
  add cityName "$(pick cities $((i / 17)))"
  add postalCode "$(pick postals $((i / 19)))"
  local bill request sub=""
  bill=$(pick bills $((i / 4)))
  request=$(pick requests $((i / 9)))
  [ "$bill" != - ] && [ -n "$bill" ] && sub+="$(json_str billID):$(json_str "$bill")"
  [ "$request" != - ] && [ -n "$request" ] && sub+="${sub:+,}$(json_str additionalConsumerDataRequest):$(json_str "$request")"
  ((i % 6 == 1)) && sub+="${sub:+,}\"terminalID\":\"T-07\""
  [ -n "$sub" ] && obj+=",\"additionalDataFieldTemplate\":{$sub}"
  local lang
  lang=$(pick langs $((i / 3)))
  if [ "$lang" != - ] && [ -n "$lang" ]; then
    sub="$(json_str 00):$(json_str "$lang")"
    ((i % 4 != 3)) && sub+=",\"01\":$(json_str "$(pick names $((i + 2)))")"
    ((i % 8 == 2)) && sub+=",\"02\":$(json_str "$(pick cities $((i + 1)))")"
    obj+=",\"merchantInformationLanguageTemplate\":{$sub}"
  fi
  printf '{%s}' "$obj" | "$pavenda" encode
}

# A length character of the single-character scheme: a base-36 digit.
b36() {
  local digits=0123456789abcdefghijklmnopqrstuvwxyz
  printf '%s' "${digits:$1:1}"
}

# One single-character-scheme element; values longer than 35 characters are cut to 35.
el00() {
  local v=${2:0:35}
  printf '%s%s%s' "$1" "$(b36 ${#v})" "$v"
}

tlv00_one() {
  local i=$1 v out=""
  for pair in "0:merchant_ids:1" "1:names:1" "2:mccs:3" "3:cities:5" "4:countries:7" \
    "5:currencies:11" "6:amounts:2"; do
    IFS=: read -r tag list div <<<"$pair"
    v=$(pick "$list" $((i / div)))
    [ "$v" = - ] && continue
    out+=$(el00 "$tag" "$v")
  done
  v=$(pick primary_ids "$i")
  [ "$v" != - ] && out+=$(el00 7 "$v")
  v=$(pick secondary_ids $((i / 2)))
  [ "$v" != - ] && out+=$(el00 8 "$v")
  v=$(pick tips $((i / 3)))
  [ "$v" != - ] && out+=$(el00 9 "$v")
  ((i % 4 == 2)) && out+=$(el00 "$( ((i % 8 == 2)) && echo A || echo a)" "$(pick fees "$i")")
  ((i % 5 == 3)) && out+=$(el00 B "$(pick pcts "$i")")
  # A payload may not start with "00" in this scheme: that prefix selects the two-digit one.
  case "$out" in 00*) out="1${out:1}" ;; esac
  printf '%s\n' "$out"
}

# Payloads meant to be valid: every field from its valid values, non-ASCII names and cities included.
valid_one() {
  local i=$1 sub
  obj=""
  add payloadFormatIndicator 01
  add pointOfInitiation "$( ((i % 2)) && echo 11 || echo 12)"
  add zArodezMerchantID "$(pick good_ids "$i")"
  add merchantCategoryCode "$(pick good_mccs $((i / 2)))"
  add currencyCode "$(pick good_currencies $((i / 3)))"
  ((i % 3)) && add transactionAmount "$(pick good_amounts "$i")"
  case $((i % 4)) in
    1) add tipAndFeeIndicator 01 ;;
    2) add tipAndFeeIndicator 02 && add convenienceFeeAmount "5.00" ;;
    3) add tipAndFeeIndicator 03 && add convenienceFeePercentage "2.5" ;;
  esac
  add countryCode "$(pick good_countries $((i / 5)))"
  add merchantName "$(pick good_names "$i")"
  add cityName "$(pick good_cities $((i / 3)))"
  ((i % 5 == 2)) && add postalCode "560001"
  ((i % 3 == 1)) && obj+=",\"additionalDataFieldTemplate\":{\"billID\":$(json_str "$(pick bills $((i / 3)))")}"
  if ((i % 4 == 0)); then
    sub="\"00\":\"ZH\",\"01\":$(json_str "$(pick good_names $((i + 2)))")"
    obj+=",\"merchantInformationLanguageTemplate\":{$sub}"
  fi
  printf '{%s}' "$obj" | "$pavenda" encode
}
good_ids=(4000000000000002 4111111111111111 40000002 4000000000000002)
good_mccs=(5812 5411 5999 7011)
good_currencies=(356 840 978 392 156)
good_amounts=("450.00" "12.5" "99" "7.25" "1000")
good_countries=(IN US DE JP CN)
good_names=("${names[@]:0:9}")
good_cities=("${cities[@]:0:7}")

for i in $(seq 0 149); do
  valid_one "$i"
done

valid=()
for i in $(seq 0 699); do
  p=$(encode_one "$i")
  printf '%s\n' "$p"
  valid+=("$p")
done

# Text-level damage to encoded payloads: CRC, framing, order and repetition.
for i in $(seq 0 7 699); do
  p=${valid[$i]}
  body=${p%????}
  crc=${p: -4}
  case $((i / 7 % 10)) in
    0) printf '%s0000\n' "$body" ;;
    1) printf '%s%s\n' "$body" "$(printf '%s' "$crc" | tr 'A-F' 'a-f')" ;;
    2) printf '%s\n' "${p:0:$((${#p} / 2))}" ;;
    3) printf '%s\n' "$body" ;;
    4) printf '%s6304%s\n' "${p:0:6}" "$crc" ;;
    5) printf '000201000201%s\n' "${p:6}" ;;
    6) printf '%s\n' "${p/5802/58-2}" ;;
    7) printf '%s\n' "${p/5303/5300}" ;;
    8) printf '%s99\n' "$p" ;;
    9) printf 'ZZ%s\n' "${p:2}" ;;
  esac
done

for i in $(seq 0 199); do
  tlv00_one "$i"
done

# Short and hostile texts.
printf '%s\n' "" "0" "00" "000201" "0002016304ABCD" "00020159+2ab6304FFFF" "0002015900" \
  "0002015904abcd6304" "1Cx" "1C" "zz" "C5HELLO" "15HELLO2" "1xA1y" "6304" "日本語" "é" \
  "0002015903日本語6304A1B2" "00020162060103abc63041234" "000201620600020163040000" \
  "0002016410000002ZH0102名6304FFFF" "00020102116304" "   " "00020159059 ABC6304ZZZZ"

# Every line end the readers accept: CR LF, a lone CR, blank lines of each kind, and a last line
# without any line end.
printf '%s\r\n' "${valid[1]}" "${valid[2]}"
printf '\r\n\n\r'
printf '%s\r' "${valid[3]}" "${valid[4]}"
printf '\r\r\n%s\n\n%s' "${valid[5]}" "${valid[6]}"
