# Starts koru ($1, program folder $2) on a FIFO in $3 and writes the recording $4 into it once
# the port listens; prints koru's output and ends with its status (3: it never listened).
mkfifo "$3/rec" && { "$1" --home "$2" --port replay:"$3/rec" --exit-after-replay > "$3/out" 2>&1 & }
for i in $(seq 600); do grep -q '..listen on' "$3/out" && break; sleep 0.1; done
grep -q '..listen on' "$3/out" || { kill $!; cat "$3/out"; exit 3; }
cat "$4" > "$3/rec"; wait $!; status=$?; cat "$3/out"; exit $status
